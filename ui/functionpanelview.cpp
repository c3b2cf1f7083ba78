#include "ui/functionpanelview.h"

#include "platform/units.h"
#include "program/functionpanel.h"
#include "ui/twips.h"

#include <QtCore/QMimeData>
#include <QtGui/QClipboard>
#include <QtGui/QGuiApplication>
#include <QtGui/QKeyEvent>
#include <QtWidgets/QMenu>
#include <QtWidgets/QPushButton>
#include <cmath>

bool FunctionEdit::event(QEvent* event) {
    // Ctrl+E is the window's export; a line edit would take it as the end of the line.
    if (event->type() == QEvent::ShortcutOverride &&
        static_cast<QKeyEvent*>(event)->keyCombination() ==
            QKeyCombination(Qt::ControlModifier, Qt::Key_E)) {
        event->ignore();
        return true;
    }
    return QLineEdit::event(event);
}

void FunctionEdit::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Paste)) {
        PasteFiltered(false);
        return;
    }
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        emit enterPressed();
        event->accept();
        return;
    }
    if (event->key() == Qt::Key_Escape) {
        event->ignore(); // not a character of an expression: the window cancels a mouse mode
        return;
    }
    const QString text = event->text();
    const bool shortcut =
        event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    // Editing and moving keys carry no character (or a control one the filter keeps, like
    // backspace): they work as in any text box.
    if (text.isEmpty() || shortcut || event->key() == Qt::Key_Backspace ||
        event->key() == Qt::Key_Delete) {
        QLineEdit::keyPressEvent(event);
        return;
    }
    const QString kept = FilterFunctionText(text);
    if (kept == text) {
        QLineEdit::keyPressEvent(event);
    } else if (!kept.isEmpty()) {
        insert(kept);
    }
    event->accept(); // a dropped key does nothing at all
}

void FunctionEdit::inputMethodEvent(QInputMethodEvent* event) {
    // Composed text (Japanese input) goes through the same filter; nothing composed is kept.
    const QString kept = FilterFunctionText(event->commitString());
    QInputMethodEvent filtered;
    filtered.setCommitString(kept, event->replacementStart(), event->replacementLength());
    QLineEdit::inputMethodEvent(&filtered);
}

void FunctionEdit::contextMenuEvent(QContextMenuEvent* event) {
    QMenu* menu = createStandardContextMenu();
    for (QAction* action : menu->actions()) {
        if (action->objectName() == QStringLiteral("edit-paste")) {
            action->disconnect();
            connect(action, &QAction::triggered, this, [this] { PasteFiltered(false); });
        }
    }
    menu->setAttribute(Qt::WA_DeleteOnClose);
    menu->popup(event->globalPos());
}

void FunctionEdit::mouseReleaseEvent(QMouseEvent* event) {
    // The X selection pasted with the middle button is a paste too.
    if (event->button() == Qt::MiddleButton && QGuiApplication::clipboard()->supportsSelection()) {
        PasteFiltered(true);
        return;
    }
    QLineEdit::mouseReleaseEvent(event);
}

void FunctionEdit::focusInEvent(QFocusEvent* event) {
    QLineEdit::focusInEvent(event);
    emit focused();
}

void FunctionEdit::PasteFiltered(bool selection) {
    if (isReadOnly()) {
        return;
    }
    const QString text = QGuiApplication::clipboard()->text(selection ? QClipboard::Selection
                                                                      : QClipboard::Clipboard);
    insert(FilterFunctionText(text));
}

FunctionPanel::FunctionPanel(QWidget* parent) : QFrame(parent) {
    setObjectName(QStringLiteral("picFNSet"));
    setFrameStyle(QFrame::Panel | QFrame::Raised);
    setAutoFillBackground(true);
    // A Japanese gothic, 9 point bold, for "F1(x)=" and its kin.
    QFont labelFont(QStringLiteral("IPAPGothic"));
    labelFont.setPointSize(9);
    labelFont.setBold(true);

    for (int n = 1; n <= 3; ++n) {
        Row& row = m_rows[static_cast<std::size_t>(n - 1)];
        const double top = 120 + 240 * (n - 1);
        const auto name = [n](const char* pattern) { return QString::fromLatin1(pattern).arg(n); };

        row.label = new ClickLabel(QStringLiteral("F%1(x)=").arg(n), this);
        row.label->setObjectName(name("lblF%1"));
        row.label->setFont(labelFont);
        row.label->setGeometry(PxRect({120, top, 615, 255}));

        row.text = new FunctionEdit(this);
        row.text->setObjectName(name("txtF%1"));
        row.text->setGeometry(PxRect({840, top, 2775, 270}));
        row.text->setAcceptDrops(false); // dropped text would pass the filter by

        row.color = new ClickLabel(this);
        row.color->setObjectName(name("lblF%1color"));
        row.color->setGeometry(PxRect({3600, top, 255, 255}));
        row.color->setFrameStyle(QFrame::Panel | QFrame::Sunken);
        row.color->setAutoFillBackground(true);

        row.style = new ClickLabel(this);
        row.style->setObjectName(name("lblF%1style"));
        row.style->setGeometry(PxRect({3960, top, 375, 255}));
        row.style->setAlignment(Qt::AlignCenter);

        row.draw = new QPushButton(this);
        row.draw->setObjectName(name("cmdF%1draw"));
        row.draw->setGeometry(PxRect({4320, top, 615, 255}));

        connect(row.draw, &QPushButton::clicked, this, [this, n] { emit drawClicked(n); });
        connect(row.text, &QLineEdit::textChanged, this,
                [this, n](const QString& text) { emit textChanged(n, text); });
        connect(row.text, &FunctionEdit::focused, this, [this, n] { emit focused(n); });
        connect(row.text, &FunctionEdit::enterPressed, this, [this, n] { emit enterPressed(n); });
        connect(row.color, &ClickLabel::clicked, this, [this, n] { emit colorClicked(n); });
        connect(row.style, &ClickLabel::clicked, this, [this, n] { emit styleClicked(n); });
        if (n >= 2) {
            connect(row.label, &ClickLabel::released, this, [this, n](Qt::MouseButton button) {
                if (button == Qt::RightButton) {
                    emit removeRowRequested(n);
                }
            });
            row.add = new QPushButton(QStringLiteral("F%1").arg(n), this);
            row.add->setObjectName(name("cmdF%1add"));
            row.add->setGeometry(PxRect({120, top, 735, 255}));
            connect(row.add, &QPushButton::clicked, this, [this, n] { emit addClicked(n); });
        }
    }
}

void FunctionPanel::ShowSlots(const FunctionSlots& functions) {
    for (int n = 1; n <= 3; ++n) {
        Row& row = m_rows[static_cast<std::size_t>(n - 1)];
        const FunctionSlot& slot = SlotOf(functions, n);
        if (row.text->text() != slot.Expression) {
            const QSignalBlocker blocker(row.text);
            row.text->setText(slot.Expression);
        }
        QPalette palette = row.color->palette();
        palette.setColor(QPalette::Window, ToQColor(slot.Color));
        row.color->setPalette(palette);
        row.style->setText(slot.StyleCode);
        row.draw->setText(ButtonCaption(slot.Button));
        const QString tip = DrawButtonTip(slot.LastSample);
        row.draw->setToolTip(tip);
        row.text->setToolTip(tip);
        const bool shown = n == 1 || slot.RowShown;
        for (QWidget* control : {static_cast<QWidget*>(row.label), static_cast<QWidget*>(row.text),
                                 static_cast<QWidget*>(row.color), static_cast<QWidget*>(row.style),
                                 static_cast<QWidget*>(row.draw)}) {
            control->setVisible(shown);
        }
        if (row.add) {
            row.add->setVisible(!shown);
        }
    }
}

void FunctionPanel::FocusTextBox(int slot) {
    m_rows[static_cast<std::size_t>(slot - 1)].text->setFocus(Qt::OtherFocusReason);
}
