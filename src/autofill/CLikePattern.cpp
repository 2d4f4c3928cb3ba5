#include "CLikePattern.h"

#include <vector>

CLikePattern::CLikePattern(const QString& pattern)
{
    const qsizetype n = pattern.size();
    for (qsizetype i = 0; i < n; ++i) {
        const QChar c = pattern[i];
        Token token;
        if (c == u'*') {
            // Runs of stars mean the same as one; keeping one keeps matching linear.
            if (!mTokens.isEmpty() && mTokens.last().kind == Token::AnyRun)
                continue;
            token.kind = Token::AnyRun;
        } else if (c == u'?') {
            token.kind = Token::AnyOne;
        } else if (c == u'#') {
            token.kind = Token::Digit;
        } else if (c == u'[') {
            const qsizetype close = pattern.indexOf(u']', i + 1);
            if (close < 0) {
                mValid = false;
                mTokens.clear();
                return;
            }
            QString body = pattern.mid(i + 1, close - i - 1);
            i = close;
            if (body.isEmpty()) {
                token.kind = Token::Empty;
                mTokens.append(token);
                continue;
            }
            token.kind = Token::Class;
            if (body.startsWith(u'!')) {
                token.negated = true;
                body.remove(0, 1);
            }
            for (qsizetype j = 0; j < body.size(); ++j) {
                const QChar from = body[j];
                if (j + 2 < body.size() && body[j + 1] == u'-') {
                    const QChar to = body[j + 2];
                    if (to < from) {
                        // A backwards range is an error of the pattern, as it would be in the original syntax.
                        mValid = false;
                        mTokens.clear();
                        return;
                    }
                    token.ranges.append({from, to});
                    j += 2;
                } else {
                    token.ranges.append({from, from});
                }
            }
        } else {
            token.kind = Token::Literal;
            token.ch = c;
        }
        mTokens.append(token);
    }
}

bool CLikePattern::TokenMatches(const Token& token, QChar c) const
{
    switch (token.kind) {
    case Token::Literal:
        return token.ch == c;
    case Token::AnyOne:
        return true;
    case Token::Digit:
        return c >= u'0' && c <= u'9';
    case Token::Class: {
        bool inside = false;
        for (const auto& range : token.ranges) {
            if (c >= range.first && c <= range.second) {
                inside = true;
                break;
            }
        }
        return inside != token.negated;
    }
    case Token::AnyRun:
    case Token::Empty:
        break;
    }
    return false;
}

bool CLikePattern::Matches(const QString& text) const
{
    if (!mValid)
        return false;
    // Classic two-pointer wildcard walk with one backtrack point per star: O(n*m) worst case,
    // no recursion, so a hostile URL cannot blow the stack.
    const qsizetype n = text.size();
    const qsizetype m = mTokens.size();
    qsizetype t = 0, p = 0;
    qsizetype starP = -1, starT = 0;
    while (t < n || p < m) {
        if (p < m) {
            const Token& token = mTokens[p];
            if (token.kind == Token::Empty) {
                ++p;
                continue;
            }
            if (token.kind == Token::AnyRun) {
                starP = p++;
                starT = t;
                continue;
            }
            if (t < n && TokenMatches(token, text[t])) {
                ++p;
                ++t;
                continue;
            }
        }
        if (starP >= 0 && starT < n) {
            p = starP + 1;
            t = ++starT;
            continue;
        }
        return false;
    }
    return true;
}
