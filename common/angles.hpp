#pragma once

// Single-precision constants shared by the laws and layouts.
constexpr float PI_F = 3.1415927f;
constexpr float DEUX_PI_F = 6.2831855f;
// Default source direction: the float nearest the decimal 1.5708, not pi/2.
constexpr float TETA_DEFAUT = 1.5708f;

// Every law falls as 1/distance, so a source this far away is silent; below
// it, squares of coordinates stay inside the float range.
constexpr float DISTANCE_LIMITE = 1e18f;
