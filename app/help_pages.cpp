// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/help_pages.h"

namespace velmora {

const std::vector<HelpPage>& helpPages() {
    static const std::vector<HelpPage> pages{
        {1,
         "Overview",
         {"Overview", "",
          "My mom loves this type of game. I dedicate this game to her. Love ya Mom!"}},
        {3,
         "Game Play",
         {"Game Play", "",
          "Rotate and move the blocks so that you form complete lines with no holes.", "",
          "When a line is complete, it is removed from the board.", "",
          "The more lines you remove at a time, the bigger the score will be.", "",
          "The game ends when the board is so full of blocks, that the blocks touch the ", "top.",
          "",
          // The keys as the game reads them.
          "Left Arrow - Moves the block to the left", "Right Arrow - Moves the block to the right",
          "Down Arrow - Makes the block fall faster",
          "Up Arrow or the A key - Rotates the block counter clockwise",
          "S key - Rotates the block clockwise"}},
        {4,
         "Scoring",
         {"Scoring", "", "IF YOU CLEAR  :  YOU GET", "",
          "  1 line                : 40 times level number.",
          "  2 lines              : 100 times the level number.",
          "  3 lines              : 400 times the level number.",
          "  4 lines              : 1000 times the level number."}},
        {5, "Documentation", {"History", "", "Dec 6, 2011 - Version 1.0.0.0", "", " "}},
    };
    return pages;
}

}  // namespace velmora
