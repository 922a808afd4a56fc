// A text that a person reads in the user's language and a script reads in English: a box shows
// Shown(), while standard error and the result line take English(), in every locale.
#pragma once

#include <QString>

#include <utility>

class Wording {
public:
    // source: the English text, marked where it is written with
    // QT_TRANSLATE_NOOP("TForm_Korvane", ...) so that lupdate finds it in the main window's context.
    explicit Wording(const char* source);
    // A text that has no translation (a reason, a name): the same in both.
    static Wording Same(const QString& text) { return {text, text}; }

    // QString::arg on both; a Wording argument gives each language its own form.
    Wording arg(const QString& value) const;
    Wording arg(const Wording& value) const;

    const QString& English() const { return english_; }
    const QString& Shown() const { return shown_; }

private:
    Wording(QString english, QString shown) : english_(std::move(english)), shown_(std::move(shown)) {}

    QString english_;
    QString shown_;
};
