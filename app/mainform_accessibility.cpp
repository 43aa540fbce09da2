// SPDX-License-Identifier: GPL-3.0-or-later
// What a screen reader is told about the main window: the well is a picture
// whose description carries the score, lines and level; the pictures and the
// name fields have names.

#include <QLabel>

#include "app/mainform.h"
#include "app/picture_view.h"
#include "controls/limited_edit.h"
#include "controls/picture_button.h"

namespace velmora {

void Tmain::describeControls() {
    image_board->setAccessibleName("Well");
    image_next->setAccessibleName("Next piece");
    image_keys->setAccessibleName("Keys");
    image_keys->setAccessibleDescription(
        "Up rotates, Right moves right, Left moves left, Down drops faster, P pauses");
    image_logo->setAccessibleName("Nivolt Software web site");
    edit_aname->setAccessibleName("Your name");
    edit_name->setAccessibleName("Your name");
    describeWell();
}

void Tmain::describeWell() {
    image_board->setAccessibleDescription(label_score->text() + ", " +
                                          label_linescleared->text() + ", " +
                                          label_level->text());
}

}  // namespace velmora
