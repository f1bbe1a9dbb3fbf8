#pragma once

#include "control.h"

#include <QObject>

#include <functional>
#include <memory>
#include <vector>

namespace zavok::kit {

class Desktop;
class Scheduler;
class Timer;

enum class Border { None, Fixed };

struct WindowDesign {
    QString caption{};
    Rgb back{};
    float width = 0; // the client area, in twips
    float height = 0;
    Border border = Border::Fixed;
    bool centred = false;
};

enum class WindowProperty { Caption, Visible, Focus, Raise };

// A window owns its controls and timers. Controls keep the order in which they were declared, which is also
// their stacking order: a later control lies on top of an earlier one at the same place.
class Window : public QObject {
    Q_OBJECT

public:
    Window(Desktop& desktop, const QString& name, const WindowDesign& design);
    ~Window() override;

    QString name() const { return objectName(); }
    Desktop& desktop() const { return desktop_; }
    const WindowDesign& design() const { return design_; }

    const QString& caption() const { return caption_; }
    void setCaption(const QString& caption);

    bool isVisible() const { return visible_; }
    void show();
    void hide();
    // Shown and brought in front of the other windows.
    void raise();

    Control* focus() const { return focus_; }
    void setFocus(Control* control);

    const std::vector<Control*>& controls() const { return controls_; }
    Control* control(const QString& name) const;
    const std::vector<Timer*>& timers() const { return timers_; }

    // The user asked to close the window (its close box, or the desktop's close command).
    void requestClose();
    std::function<void()> onCloseRequest;

    template <class T, class... Extra>
    T& add(const QString& name, const Design& design, Frame* in = nullptr, Extra&&... extra) {
        return *new T(*this, in, name, design, std::forward<Extra>(extra)...);
    }
    Timer& addTimer(const QString& name, int interval, bool enabled);

signals:
    void changed(zavok::kit::WindowProperty property);

private:
    friend class Control;
    void adopt(Control& control) { controls_.push_back(&control); }

    Desktop& desktop_;
    WindowDesign design_;
    QString caption_;
    bool visible_ = false;
    Control* focus_ = nullptr;
    std::vector<Control*> controls_;
    std::vector<Timer*> timers_;
};

} // namespace zavok::kit
