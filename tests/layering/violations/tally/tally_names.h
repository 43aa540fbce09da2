// SPDX-License-Identifier: GPL-3.0-or-later
// A core header that reaches into Qt: the layering check must refuse it.
#pragma once
#include <QString>
