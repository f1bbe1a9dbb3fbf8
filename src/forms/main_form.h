#pragma once

#include "kit/control.h"
#include "kit/dialogs.h"
#include "kit/timer.h"
#include "kit/window.h"

#include <array>

namespace zavok {

// The main window `zavok` with every control it is designed with. Arrays hold the four alerts or zones in order
// (index 0 is alert or zone 1); each control's object name is its name in the program's vocabulary.
class MainForm : public kit::Window {
    Q_OBJECT

public:
    explicit MainForm(kit::Desktop& desktop);

    // Heading and picture panel.
    kit::Label& zavoklabel;
    kit::Image& Image1;
    kit::Label& Label5; // hidden: the path of the chosen picture

    // Alert block, one row per alert.
    std::array<kit::Label*, 4> blabel{};    // blabel1..4: home markers
    std::array<kit::Label*, 4> indicator{}; // Label1..4: movable indicators, dragged onto the picture
    std::array<kit::Label*, 4> alabel{};    // alabel1..4: status labels that hold the reminder
    std::array<kit::Label*, 4> clabel{};    // clabel1..4: circuit names
    std::array<kit::Label*, 4> enable{};    // enable1..4: circuit switches
    std::array<kit::Label*, 4> trigger{};   // a1label..a4label: hidden trigger labels of the poll cycle

    // Command buttons.
    kit::Button& reset;
    kit::Button& timerset;
    kit::Button& log;
    kit::Button& soundoff;
    kit::Button& soundon;
    kit::Button& image;
    kit::Button& help;
    kit::Button& exit;

    // Zones, one frame each.
    std::array<kit::Frame*, 4> frame{};       // frame1, frame2, frame3, Frame4
    std::array<kit::PictureBox*, 4> trough{}; // pic11, p1c22, pic33, pic44: the green meter troughs
    std::array<kit::PictureBox*, 4> pic{};    // pic1..4: the red meter bars
    std::array<kit::Label*, 4> value{};       // value1..4
    std::array<kit::Label*, 4> mzero{};       // mzero1..4: the meters' low values
    std::array<kit::Label*, 4> mfsd{};        // mfsd1..4: the meters' full-scale values
    std::array<kit::Label*, 4> flabel{};      // flabel1..4: zone labels

    // Controls without a visible face.
    kit::TextBox& Text1;                   // receives the log's day name at start-up
    kit::TextBox& Text9;                   // the last port reading, in decimal
    kit::Timer& Timer1;                    // poll cycle
    kit::Timer& Timer2;                    // the alerts' bell
    std::array<kit::Timer*, 4> zoneBell{}; // Timer3..Timer6: the zones' bells

    // CommonDialog1 as the picture chooser prepares it.
    static kit::OpenFileRequest pictureRequest();
};

} // namespace zavok
