// SPDX-License-Identifier: GPL-3.0-or-later
// The floor for the game's start-up: a bare Qt Widgets window of the game's
// size with a menu bar like the game's, nothing else. The start-up benchmark
// times it beside the game.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QWidget>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle("Bare");
    for (const char* title : {"File", "Options", "View", "Help"}) {
        window.menuBar()->addMenu(title)->addAction("Item");
    }
    auto* client = new QWidget;
    client->setMinimumSize(618, 547);
    window.setCentralWidget(client);
    window.resize(626, 594);
    window.show();
    return application.exec();
}
