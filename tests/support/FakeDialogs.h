// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include "platform/Dialogs.h"

#include <QList>

#include <functional>

// Records every message; answers questions from a script (OK when the script runs out).
class FakeDialogs : public Dialogs {
  public:
    struct Shown {
        QString title;
        QString text;
        Icon icon;
    };

    void message(const QString& title, const QString& text, Icon icon) override {
        shown.append({title, text, icon});
    }
    bool confirm(const QString& title, const QString& text) override {
        shown.append({title, text, Icon::none});
        if (duringQuestion)
            duringQuestion();  // what the event loop may run while the question waits
        return answers.isEmpty() ? true : answers.takeFirst();
    }

    QList<Shown> shown;
    QList<bool> answers;
    std::function<void()> duringQuestion;
};
