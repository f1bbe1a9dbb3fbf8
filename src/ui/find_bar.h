#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class QLineEdit;
class QPlainTextEdit;

namespace zavok::ui {

// Finding words in a long text box, such as a busy day's log: Ctrl+F opens a bar under the box, and every match of
// what is typed there is highlighted (case aside) as it is typed. Enter or F3 goes to the next match, Shift+Enter or
// Shift+F3 to the one before, round the end of the text; Esc closes the bar. The bar takes its room from the bottom
// of the box only while it is open, so the window keeps its designed layout otherwise.
class FindBar final : public QWidget {
    Q_OBJECT

public:
    // Made hidden, beside `editor` in the editor's parent.
    explicit FindBar(QPlainTextEdit& editor);

    void open();
    void close();
    // Selects the next (or previous) match; false when there is none.
    bool find(bool backwards);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void search();
    void highlight();

    QPlainTextEdit& editor_;
    QLineEdit* query_;
    QLabel* count_;
    QRect designed_;
    std::vector<qsizetype> matches_;
};

} // namespace zavok::ui
