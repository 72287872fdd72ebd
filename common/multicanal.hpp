#pragma once

#include <m_pd.h>

// Multichannel signals, which Pd carries from 0.54 on. One binary serves
// every Pd from 0.51: the externals are built with a header that knows
// nothing of them and call only what 0.53 exports, so what is newer is
// found at run time, here and nowhere else.

// The flag Pd 0.54's header names CLASS_MULTICHANNEL.
constexpr int CLASSE_MULTICANAL = 0x10;

// Whether the running Pd carries multichannel signals (0.54 or later, with
// signal_setmultiout to be had): only then does a class take the flag.
bool multicanal_disponible();

// The class flags that ask for multichannel signals where Pd has them.
int drapeaux_multicanal();

// The channels of a signal a dsp method receives: 1 before 0.54, whose
// t_signal has no such field.
int nb_canaux(const t_signal *s);

// Gives an outlet of a multichannel class its channels, and its vector;
// nothing where Pd has no multichannel signals.
void donner_canaux(t_signal **s, int nb);
