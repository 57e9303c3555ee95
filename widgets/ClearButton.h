// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

class QLineEdit;

// Shows the field's clear button (×) and gives it a Chinese name, which Qt leaves empty, so a
// screen reader says what it does ("清除") instead of nothing.
void enableNamedClearButton(QLineEdit *field);
