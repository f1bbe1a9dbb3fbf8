#include "app/zavok.h"
#include "kit/line_encoding.h"
#include "log/log_viewer.h"
#include "timing/sampling_times.h"

namespace zavok {

void Zavok::wireNavigation() {
    wireSamplingTimes(*zavoktimer, *zavok,
                      {zavokform[0].get(), zavokform[1].get(), zavokform[2].get(), zavokform[3].get()});
    for (int k = 1; k <= 4; ++k) {
        zavok->frame.at(k - 1)->onClick = [this, k] { openChannel(k, true); };
        zavok->flabel.at(k - 1)->onClick = [this, k] { openChannel(k, false); };
    }
    if (platform.showTrend) {
        wireTrends();
    }
    zavok->log.onClick = [this] { showLog(); };
    zavok->help.onClick = [this] { showHelp(); };
    zavok->image.onClick = [this] { choosePicture(); };
    zavok->Image1.onDrop = [this](kit::Control& control, float x, float y) { dropOnPicture(control, x, y); };
}

void Zavok::wireTrends() {
    for (int k = 1; k <= 4; ++k) {
        // The trough's tip keeps its design text; the second line says what a click on the meter now does.
        const QString tip = zavok->trough.at(k - 1)->tip() + QStringLiteral("\nClick to see the trend");
        for (kit::PictureBox* meter : {zavok->trough.at(k - 1), zavok->pic.at(k - 1)}) {
            meter->setTip(tip);
            meter->onClick = [this, k] { platform.showTrend(k); };
        }
    }
}

void Zavok::openChannel(int zone, bool focusChange) {
    ChannelForm& form = channel(zone);
    form.raise();
    if (!focusChange) {
        return;
    }
    // While an alarm entry is open CHANGE is hidden; the entry's low box is where the user goes on typing.
    if (form.changealarm.isVisible()) {
        form.changealarm.setFocus();
    } else {
        form.setnewlowt.setFocus();
    }
}

void Zavok::showLog() {
    if (!zavoklog) {
        zavoklog = std::make_unique<LogForm>(desktop);
        logViewer_ = std::make_unique<LogViewer>(*zavoklog, dialogs, platform.logDirectory);
        // Closing the window discards it and the text it shows; LOG makes a fresh, empty one.
        zavoklog->onCloseRequest = [this] {
            logViewer_.reset();
            zavoklog.reset();
        };
    }
    zavoklog->raise();
}

void Zavok::showHelp() {
    if (!zavokhelp) {
        zavokhelp = std::make_unique<HelpForm>(desktop);
        zavokhelp->onCloseRequest = [this] { zavokhelp.reset(); };
    }
    zavokhelp->raise();
}

void Zavok::choosePicture() {
    kit::OpenFileRequest request = MainForm::pictureRequest();
    request.initialDirectory = platform.picturesDirectory;
    const auto path = dialogs.openFile(request);
    if (!path) {
        return;
    }
    // phones.zvk keeps the path's own bytes, but no double quote or line break among them.
    if (const QString refused = kit::unstorable(*path, kit::FieldOf::FileName); !refused.isEmpty()) {
        dialogs.message(kit::kCautionTitle, kit::refusal(refused, QStringLiteral("The picture"), zavok->Label5.text()));
        return;
    }
    // A file that is no picture keeps the old picture on the screen, but its path is stored all the same.
    if (platform.pictures.canLoad(*path)) {
        zavok->Image1.setPicture(*path);
    }
    zavok->Label5.setText(*path);
}

void Zavok::dropOnPicture(kit::Control& control, float x, float y) {
    // The point inside the picture becomes the control's place on the window, as it always has: the control lands
    // the picture's distance from the window's top above the pointer.
    control.setLeft(x);
    control.setTop(y);
    catfile();
}

} // namespace zavok
