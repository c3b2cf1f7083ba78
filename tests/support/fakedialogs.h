#pragma once

#include "platform/dialogs.h"

#include <QtCore/QList>
#include <deque>

// A scripted stand-in for the dialogs: answers are queued beforehand, and every question asked
// is recorded so a test can check titles, texts and filters.
class FakeDialogs : public Dialogs {
public:
    struct Asked {
        QString kind; // "color", "font", "open", "save", "message", "question", "input",
                      // "popup", "print"
        QString title;
        QString text; // message text, prompt or file filter
    };

    std::deque<std::optional<ColorRef>> colors;
    std::deque<std::optional<FontSpec>> fonts;
    std::deque<QString> paths;
    std::deque<QString> inputs;
    std::deque<int> popupChoices;
    std::deque<int> answers; // the button pressed for each question
    // The button pressed when no answer is queued: -1 is the last one, the cancel button.
    int unscriptedAnswer = -1;
    std::deque<std::optional<PrinterChoice>> printerChoices;
    QList<PrinterChoice> printerChoicesOffered;
    QList<Asked> asked;
    QList<bool> fullOpenRequests;
    QStringList lastPopupEntries;
    QStringList lastQuestionButtons;

    std::optional<ColorRef> ChooseColor(ColorRef, bool fullOpen) override {
        asked.append({QStringLiteral("color"), {}, {}});
        fullOpenRequests.append(fullOpen);
        return Take(colors, std::optional<ColorRef>{});
    }
    std::optional<FontSpec> ChooseFont(const FontSpec&) override {
        asked.append({QStringLiteral("font"), {}, {}});
        return Take(fonts, std::optional<FontSpec>{});
    }
    QString OpenFileName(const QString& title, const QString& filter) override {
        asked.append({QStringLiteral("open"), title, filter});
        return Take(paths, QString());
    }
    QString SaveFileName(const QString& title, const QString& filter) override {
        asked.append({QStringLiteral("save"), title, filter});
        return Take(paths, QString());
    }
    void Message(const QString& text, const QString& title, bool) override {
        asked.append({QStringLiteral("message"), title, text});
    }
    int Question(const QString& text, const QString& title, const QStringList& buttons) override {
        asked.append({QStringLiteral("question"), title, text});
        lastQuestionButtons = buttons;
        return Take(answers, unscriptedAnswer >= 0 ? unscriptedAnswer
                                                   : static_cast<int>(buttons.size()) - 1);
    }
    QString InputBox(const QString& prompt, const QString& title) override {
        asked.append({QStringLiteral("input"), title, prompt});
        return Take(inputs, QString());
    }
    int PopupMenu(const QStringList& entries) override {
        asked.append({QStringLiteral("popup"), {}, {}});
        lastPopupEntries = entries;
        return Take(popupChoices, -1);
    }
    std::optional<PrinterChoice> PrintSetup(const QString& title,
                                            const PrinterChoice& current) override {
        asked.append({QStringLiteral("print"), title, {}});
        printerChoicesOffered.append(current);
        return Take(printerChoices, std::optional<PrinterChoice>{});
    }

    // The messages shown so far, in order.
    QStringList Messages() const {
        QStringList texts;
        for (const Asked& a : asked) {
            if (a.kind == QStringLiteral("message")) {
                texts << a.text;
            }
        }
        return texts;
    }

private:
    template <class T>
    static T Take(std::deque<T>& queue, T fallback) {
        if (queue.empty()) {
            return fallback; // an unscripted question is answered as if cancelled
        }
        T value(queue.front());
        queue.pop_front();
        return value;
    }
};
