#pragma once

// The codes of the flags every record holds.

// type_repere: the coordinate system of the position.
constexpr int REPERE_POLAIRE = 0;
constexpr int REPERE_CARTESIEN = 1;
constexpr int REPERE_SPHERIQUE = 2; // trazin~ only

// type_entrees: the kind of the position inlets, fixed at creation.
constexpr int ENTREES_SIGNAL = 0;
constexpr int ENTREES_CONTROLE = 1;
