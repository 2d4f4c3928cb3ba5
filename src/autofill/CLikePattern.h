#pragma once

#include <QList>
#include <QPair>
#include <QString>

// Wildcard matching of the classic "Like" kind, case-sensitive:
//   *  any run of characters (also none)      ?  any one character
//   #  any one digit 0-9                       [abc] [a-z]  one character of the class
//   [!abc]  one character not in the class     []  matches nothing (zero characters)
// In a class '-' between two characters is a range; at the start or the end it is itself;
// '!' is negation only right after '['. A '[' without its ']' makes the pattern invalid,
// and an invalid pattern matches nothing.
class CLikePattern final
{
public:
    explicit CLikePattern(const QString& pattern);

    bool Matches(const QString& text) const;

    static bool Like(const QString& text, const QString& pattern) { return CLikePattern(pattern).Matches(text); }

private:
    struct Token
    {
        enum Kind
        {
            Literal,
            AnyRun,
            AnyOne,
            Digit,
            Class,
            Empty
        } kind
            = Literal;
        QChar ch;
        bool negated = false;
        QList<QPair<QChar, QChar>> ranges; // for Class: single characters are (c, c)
    };
    bool TokenMatches(const Token& token, QChar c) const;

    QList<Token> mTokens;
    bool mValid = true;
};
