// SPDX-License-Identifier: GPL-3.0-or-later
// A window that includes another window: the layering check must refuse it.
#include "app/helpform.h"
#include "app/mainform.h"
#include "ui/guarded.h"
