// SPDX-License-Identifier: GPL-3.0-or-later
// The main window's update: the version check when the window is shown, the
// update panel, and DONE: move the program aside, download the installer and
// its signature, start the installer only when the signature verifies, and
// end at once.

#include <QAction>
#include <QApplication>
#include <QLabel>
#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "app/mainform.h"
#include "app/version.h"
#include "controls/TFlatPanelUnit.h"
#include "controls/picture_button.h"
#include "online/HTTPGet.h"
#include "online/HttpCli.h"
#include "platform/bounded_string_buf.h"
#include "platform/dialogs.h"
#include "platform/paths.h"
#include "platform/qt_dispatcher.h"
#include "platform/shell.h"
#include "ui/guarded.h"

#ifndef VELMORA_SELF_UPDATE_BUILT
#error "VELMORA_SELF_UPDATE_BUILT is set by the build from VELMORA_SELF_UPDATE"
#endif

namespace velmora {

namespace {

namespace fs = std::filesystem;

std::string upperCase(std::string text) {
    std::transform(text.begin(), text.end(), text.begin(),
                   [](unsigned char c) { return static_cast<char>(std::toupper(c)); });
    return text;
}

}  // namespace

void Tmain::setupUpdate() {
    selfUpdate_ = environment_.selfUpdate.value_or(VELMORA_SELF_UPDATE_BUILT != 0);
    // Taken now: once the file is moved aside, the system reports the running
    // program under its backup name.
    programPath_ =
        environment_.programPath.empty() ? platform::executablePath() : environment_.programPath;
    checkupdate = std::make_unique<online::THTTPGet>(std::make_shared<platform::QtDispatcher>());
    checkupdate->OnDoneString = [this](online::THTTPGet& sender, const std::string& result) {
        platform::runGuarded([&] { checkupdateDoneString(sender, result); });
    };
    getupdate = std::make_unique<online::THttpCli>();
    // The window stays live during the download; closing it aborts the download.
    getupdate->MessagePump = [] { QCoreApplication::processEvents(); };
    getupdate->Terminated = [this] { return !isVisible() || QCoreApplication::closingDown(); };
    connect(button_updateyes, &PictureButton::clicked, this,
            guarded(this, &Tmain::button_updateyesClick));
    connect(button_updatecancel, &PictureButton::clicked, this,
            guarded(this, &Tmain::button_updatecancelClick));
}

// A build that does not update itself (a distribution's package, updated by
// the system) shows the option unchecked and greyed out, and keeps the value
// the settings file holds for a build that does.
void Tmain::keepUpdateOption(bool fromSettings) {
    updateSetting_ = fromSettings;
    if (!selfUpdate_) {
        updatecheck->setChecked(false);
        updatecheck->setEnabled(false);
    }
}

bool Tmain::updateOptionToSave() const {
    return selfUpdate_ ? updatecheck->isChecked() : updateSetting_;
}

std::string Tmain::programPath() const {
    return programPath_;
}

// --- The check ------------------------------------------------------------

void Tmain::FormShow() {
    if (!selfUpdate_ || !updatecheck->isChecked()) {
        return;
    }
    checkupdate->URL = serverAddress() + "/" + appname + "/" + appname + "version.txt";
    checkupdate->FetchString();
}

// Any other text, older, newer or an error page, offers the update.
void Tmain::checkupdateDoneString(online::THTTPGet&, const std::string& result) {
    if (result != kVersionText) {
        showInFront(panel_update);
    }
}

void Tmain::button_updatecancelClick() {
    panel_update->hide();
    focusGame();
}

// --- DONE -----------------------------------------------------------------

void Tmain::button_updateyesClick() {
    button_updateyes->hide();
    button_updatecancel->hide();
    label_update->setText("Updating. Please Wait...");
    std::string program = programPath();
    std::string backup = fs::path(program).replace_extension(".BAK").string();
    std::error_code ignored;
    fs::remove(backup, ignored);
    // The running process keeps its file under the new name; the program's
    // own name is then free for the installer.
    fs::rename(program, backup, ignored);
    backupPath_ = ignored ? std::string() : backup;
    try {
        downloadit();
    } catch (...) {
        letUpdatePanelClose();
        throw;
    }
}

// An update that stopped short leaves the panel over the well: CANCEL comes
// back so the player can close it. DONE stays hidden; the status line says why.
void Tmain::letUpdatePanelClose() {
    button_updatecancel->show();
}

void Tmain::downloadit() {
    getupdate->URL = serverAddress() + "/" + appname + "/" + setupfile;
    std::string name = getupdate->URL;
    for (size_t slash = name.find('/'); slash != std::string::npos; slash = name.find('/')) {
        name.erase(0, slash + 1);
    }
    std::string installer = fs::path(programPath()).parent_path().string() + "/" + name;

    bool aborted = false;
    {
        std::ofstream file(installer, std::ios::binary | std::ios::trunc);
        if (!file) {
            restoreProgram();
            throw std::runtime_error("Cannot create file " + installer);
        }
        getupdate->ReceiveStream = &file;
        try {
            getupdate->SyncGet();
        } catch (const online::EHttpException&) {
            aborted = true;
        } catch (...) {
            getupdate->ReceiveStream = nullptr;
            restoreProgram();
            throw;
        }
        getupdate->ReceiveStream = nullptr;
        file.close();
        // A file the disk refused to hold whole is no installer.
        aborted = aborted || file.fail();
    }
    if (aborted) {
        label_update->setText("Download Aborted");
        restoreProgram();
        letUpdatePanelClose();
        return;
    }
    std::error_code sizeError;
    label_update->setText(QString("Received %1 bytes")
                              .arg(static_cast<qulonglong>(fs::file_size(installer, sizeError))));

    // A plain-HTTP reply can come from anyone on the way: only an installer
    // signed with our key is ever started.
    if (!installerSigned(getupdate->URL, installer)) {
        std::error_code ignored;
        fs::remove(installer, ignored);
        label_update->setText("Download Aborted");
        restoreProgram();
        letUpdatePanelClose();
        return;
    }

    label_update->setText("Installing");
    std::error_code ignored;
    fs::permissions(installer, fs::perms::owner_all | fs::perms::group_read | fs::perms::group_exec,
                    fs::perm_options::replace, ignored);
    if (environment_.shell != nullptr &&
        environment_.shell->runProgram(installer, {"/SP-", "/silent", "/noicons"})) {
        // Neither the settings nor the tally are saved: the installer takes over.
        if (environment_.exitProcess) {
            environment_.exitProcess(0);
        } else {
            std::_Exit(0);
        }
        return;
    }
    restoreProgram();
    letUpdatePanelClose();
    platform::showErrorBox("There was an error in the update process. Please download " +
                           upperCase(appname) + " manually from http://" + kMakerSite + ".");
}

bool Tmain::installerSigned(const std::string& installerUrl, const std::string& installer) {
    platform::BoundedStringBuf received(update::kSignatureSize);
    std::ostream signature(&received);
    getupdate->URL = installerUrl + ".sig";
    getupdate->ReceiveStream = &signature;
    bool fetched = true;
    try {
        getupdate->SyncGet();
    } catch (const online::EHttpException&) {
        fetched = false;
    }
    getupdate->ReceiveStream = nullptr;
    getupdate->URL = installerUrl;
    update::PublicKey key = environment_.updateKey.value_or(update::builtInUpdateKey());
    return fetched && update::verifyFile(installer, received.text(), key);
}

// The player can start the program again the usual way after a failed update.
void Tmain::restoreProgram() {
    if (backupPath_.empty()) {
        return;
    }
    std::string program = programPath();
    std::error_code ignored;
    if (!fs::exists(program, ignored)) {
        fs::rename(backupPath_, program, ignored);
    }
    backupPath_.clear();
}

}  // namespace velmora
