#include "find_bar.h"

#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QScrollBar>
#include <QShortcut>
#include <QTextBlock>
#include <QTextDocument>
#include <QToolButton>

#include <algorithm>

namespace zavok::ui {

namespace {

const QColor kMatch(255, 240, 120);
const QColor kCurrent(255, 160, 60);

} // namespace

FindBar::FindBar(QPlainTextEdit& editor)
    : QWidget(editor.parentWidget())
    , editor_(editor)
    , query_(new QLineEdit(this))
    , count_(new QLabel(this)) {
    setObjectName(editor.objectName() + QStringLiteral("Find"));
    setAutoFillBackground(true);
    query_->setObjectName(QStringLiteral("query"));
    query_->setPlaceholderText(QStringLiteral("Find"));
    query_->setClearButtonEnabled(true);
    query_->installEventFilter(this);
    count_->setObjectName(QStringLiteral("count"));
    auto* previous = new QToolButton(this);
    previous->setArrowType(Qt::UpArrow);
    previous->setToolTip(QStringLiteral("Previous match (Shift+F3)"));
    auto* next = new QToolButton(this);
    next->setArrowType(Qt::DownArrow);
    next->setToolTip(QStringLiteral("Next match (F3)"));
    auto* done = new QToolButton(this);
    done->setText(QStringLiteral("\u00d7"));
    done->setToolTip(QStringLiteral("Close (Esc)"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(2, 2, 2, 2);
    layout->addWidget(query_, 1);
    layout->addWidget(count_);
    layout->addWidget(previous);
    layout->addWidget(next);
    layout->addWidget(done);
    hide();

    connect(query_, &QLineEdit::textChanged, this, [this] {
        search();
        // As the user types, the first match from where the text's caret stands is shown.
        QTextCursor at = editor_.textCursor();
        at.setPosition(at.selectionStart());
        editor_.setTextCursor(at);
        find(false);
    });
    connect(previous, &QToolButton::clicked, this, [this] { find(true); });
    connect(next, &QToolButton::clicked, this, [this] { find(false); });
    connect(done, &QToolButton::clicked, this, &FindBar::close);
    // The document's own signal, since the program's texts (a log read on as it is written) reach the box with its
    // signals blocked.
    connect(editor.document(), &QTextDocument::contentsChanged, this, [this] {
        if (isVisible()) {
            search();
        }
    });
    connect(editor.verticalScrollBar(), &QScrollBar::valueChanged, this, &FindBar::highlight);

    // The window's keys, wherever its focus is.
    auto key = [this](const QKeySequence& keys, auto action) {
        auto* shortcut = new QShortcut(keys, &editor_);
        shortcut->setContext(Qt::WindowShortcut);
        connect(shortcut, &QShortcut::activated, this, action);
    };
    key(QKeySequence::Find, [this] { open(); });
    key(QKeySequence(Qt::Key_F3), [this] { isVisible() ? void(find(false)) : open(); });
    key(QKeySequence(Qt::SHIFT | Qt::Key_F3), [this] { isVisible() ? void(find(true)) : open(); });
}

void FindBar::open() {
    if (!isVisible()) {
        designed_ = editor_.geometry();
        const int height = sizeHint().height();
        editor_.setGeometry(designed_.adjusted(0, 0, 0, -height));
        setGeometry(designed_.left(), designed_.bottom() + 1 - height, designed_.width(), height);
        show();
        raise();
        search();
    }
    query_->setFocus(Qt::ShortcutFocusReason);
    query_->selectAll();
}

void FindBar::close() {
    if (!isVisible()) {
        return;
    }
    hide();
    editor_.setGeometry(designed_);
    matches_.clear();
    highlight();
    editor_.setFocus(Qt::ShortcutFocusReason);
}

bool FindBar::eventFilter(QObject* watched, QEvent* event) {
    if (watched == query_ && event->type() == QEvent::KeyPress) {
        const auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) {
            find(key->modifiers().testFlag(Qt::ShiftModifier));
            return true;
        }
        if (key->key() == Qt::Key_Escape) {
            close();
            return true;
        }
    }
    return QWidget::eventFilter(watched, event);
}

void FindBar::search() {
    matches_.clear();
    const QString query = query_->text();
    if (!query.isEmpty()) {
        // The document counts one position per character and one per line end, as its plain text does.
        const QString text = editor_.toPlainText();
        for (qsizetype at = text.indexOf(query, 0, Qt::CaseInsensitive); at >= 0;
             at = text.indexOf(query, at + query.size(), Qt::CaseInsensitive)) {
            matches_.push_back(at);
        }
    }
    highlight();
}

bool FindBar::find(bool backwards) {
    if (matches_.empty()) {
        highlight();
        return false;
    }
    const QTextCursor current = editor_.textCursor();
    const qsizetype from = current.hasSelection() ? current.selectionStart() + (backwards ? 0 : 1) : current.position();
    qsizetype target = 0;
    if (backwards) {
        const auto before = std::lower_bound(matches_.begin(), matches_.end(), from);
        target = before == matches_.begin() ? matches_.back() : *(before - 1);
    } else {
        const auto after = std::lower_bound(matches_.begin(), matches_.end(), from);
        target = after == matches_.end() ? matches_.front() : *after;
    }
    QTextCursor match(editor_.document());
    match.setPosition(int(target));
    match.setPosition(int(target + query_->text().size()), QTextCursor::KeepAnchor);
    editor_.setTextCursor(match);
    highlight();
    return true;
}

// Only the matches on the screen are painted: a common word in a long day matches tens of thousands of times.
void FindBar::highlight() {
    QList<QTextEdit::ExtraSelection> marks;
    const QTextCursor current = editor_.textCursor();
    if (!matches_.empty()) {
        const int first = editor_.cursorForPosition(QPoint(0, 0)).block().position();
        const QTextBlock lastBlock =
            editor_.cursorForPosition(QPoint(editor_.viewport()->width(), editor_.viewport()->height())).block();
        const int last = lastBlock.position() + lastBlock.length();
        const auto size = int(query_->text().size());
        for (auto it = std::lower_bound(matches_.begin(), matches_.end(), qsizetype(first));
             it != matches_.end() && *it <= last; ++it) {
            QTextEdit::ExtraSelection mark;
            mark.cursor = QTextCursor(editor_.document());
            mark.cursor.setPosition(int(*it));
            mark.cursor.setPosition(int(*it) + size, QTextCursor::KeepAnchor);
            const bool isCurrent = current.selectionStart() == *it && current.selectionEnd() == *it + size;
            mark.format.setBackground(isCurrent ? kCurrent : kMatch);
            marks.append(mark);
        }
    }
    editor_.setExtraSelections(marks);
    if (query_->text().isEmpty()) {
        count_->clear();
    } else if (matches_.empty()) {
        count_->setText(QStringLiteral("No match"));
    } else {
        const auto at = std::lower_bound(matches_.begin(), matches_.end(), qsizetype(current.selectionStart()));
        const bool onMatch = current.hasSelection() && at != matches_.end() && *at == current.selectionStart();
        count_->setText(onMatch ? QStringLiteral("%1 of %2").arg(at - matches_.begin() + 1).arg(matches_.size())
                                : QStringLiteral("%1 matches").arg(matches_.size()));
    }
}

} // namespace zavok::ui
