#pragma once

#include <QString>

// Modal messages to the user. The real one shows message boxes kept above all other windows;
// tests use a fake that records what was shown and answers scripted questions.
class Dialogs {
  public:
    enum class Icon { none, information, warning, error };

    virtual ~Dialogs() = default;
    // A message with one OK button.
    virtual void message(const QString& title, const QString& text, Icon icon) = 0;
    // A question with OK and Cancel; true for OK.
    virtual bool confirm(const QString& title, const QString& text) = 0;
};
