// SPDX-License-Identifier: GPL-3.0-or-later
#include "db/JetDialect.h"

#include "common/Error.h"
#include "db/Connection.h"

#include <QDate>
#include <QHash>
#include <QSet>
#include <QTime>
#include <optional>

namespace tilvo {

namespace {

struct Token
{
    enum Kind
    {
        Space,
        Word,
        Bracketed,
        String,
        DateLiteral,
        Number,
        Symbol
    };
    Token(Kind k, QString t) : kind(k), text(std::move(t)) {}

    Kind kind;
    QString text;
    QString collation; // on a text column's name: the collation written after it
};

using Tokens = std::vector<Token>;

bool IsWordStart(QChar c)
{
    return c.isLetter() || c == u'_';
}
bool IsWordPart(QChar c)
{
    return c.isLetterOrNumber() || c == u'_' || c == u'$';
}

QString Quote(const QString& text)
{
    QString quoted = text;
    quoted.replace(u'\'', QLatin1String("''"));
    return u'\'' + quoted + u'\'';
}

Tokens Tokenize(const QString& sql)
{
    Tokens tokens;
    const qsizetype n = sql.size();
    qsizetype i = 0;
    while (i < n) {
        const QChar c = sql.at(i);
        const qsizetype start = i;
        if (c.isSpace()) {
            while (i < n && sql.at(i).isSpace())
                ++i;
            tokens.push_back({Token::Space, sql.mid(start, i - start)});
        } else if (IsWordStart(c)) {
            while (i < n && IsWordPart(sql.at(i)))
                ++i;
            tokens.push_back({Token::Word, sql.mid(start, i - start)});
        } else if (c.isDigit()) {
            while (i < n && sql.at(i).isDigit())
                ++i;
            if (i + 1 < n && sql.at(i) == u'.' && sql.at(i + 1).isDigit()) {
                ++i;
                while (i < n && sql.at(i).isDigit())
                    ++i;
            }
            if (i < n && (sql.at(i) == u'e' || sql.at(i) == u'E')) {
                qsizetype j = i + 1;
                if (j < n && (sql.at(j) == u'+' || sql.at(j) == u'-'))
                    ++j;
                if (j < n && sql.at(j).isDigit()) {
                    i = j;
                    while (i < n && sql.at(i).isDigit())
                        ++i;
                }
            }
            tokens.push_back({Token::Number, sql.mid(start, i - start)});
        } else if (c == u'[') {
            const qsizetype close = sql.indexOf(u']', i + 1);
            i = close < 0 ? n : close + 1;
            tokens.push_back({Token::Bracketed, sql.mid(start, i - start)});
        } else if (c == u'\'') {
            ++i;
            while (i < n) {
                if (sql.at(i) == u'\'') {
                    if (i + 1 < n && sql.at(i + 1) == u'\'') {
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                ++i;
            }
            tokens.push_back({Token::String, sql.mid(start, i - start)});
        } else if (c == u'"') {
            // Jet reads a double-quoted text as a text literal.
            QString value;
            ++i;
            bool closed = false;
            while (i < n) {
                if (sql.at(i) == u'"') {
                    if (i + 1 < n && sql.at(i + 1) == u'"') {
                        value += u'"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    closed = true;
                    break;
                }
                value += sql.at(i++);
            }
            if (closed)
                tokens.push_back({Token::String, Quote(value)});
            else
                tokens.push_back({Token::Symbol, sql.mid(start, i - start)});
        } else if (c == u'#') {
            const qsizetype close = sql.indexOf(u'#', i + 1);
            if (close > 0 && close - i < 40 && !sql.mid(i + 1, close - i - 1).contains(u'\n')) {
                i = close + 1;
                tokens.push_back({Token::DateLiteral, sql.mid(start, i - start)});
            } else {
                ++i;
                tokens.push_back({Token::Symbol, QStringLiteral("#")});
            }
        } else {
            static const QStringList pairs = {QStringLiteral("<="), QStringLiteral(">="),
                                              QStringLiteral("<>"), QStringLiteral("!="),
                                              QStringLiteral("=="), QStringLiteral("||")};
            const QString two = sql.mid(i, 2);
            if (pairs.contains(two)) {
                i += 2;
                tokens.push_back({Token::Symbol, two});
            } else {
                ++i;
                tokens.push_back({Token::Symbol, QString(c)});
            }
        }
    }
    return tokens;
}

QString Join(const Tokens& tokens, size_t from = 0, size_t to = SIZE_MAX)
{
    QString text;
    to = std::min(to, tokens.size());
    for (size_t i = from; i < to; ++i)
        text += tokens[i].text;
    return text;
}

bool IsWord(const Token& t, const char* word)
{
    return t.kind == Token::Word && t.text.compare(QLatin1String(word), Qt::CaseInsensitive) == 0;
}

bool IsSymbol(const Token& t, const char* symbol)
{
    return t.kind == Token::Symbol && t.text == QLatin1String(symbol);
}

bool IsName(const Token& t)
{
    return t.kind == Token::Word || t.kind == Token::Bracketed;
}

QString Unbracket(const Token& t)
{
    if (t.kind == Token::Bracketed) {
        QString inner = t.text.mid(1);
        if (inner.endsWith(u']'))
            inner.chop(1);
        return inner;
    }
    return t.text;
}

QString Bracket(const QString& name)
{
    return u'[' + name + u']';
}

// Index of the next token that is not blank, from `i` on; tokens.size() when none.
size_t NextSig(const Tokens& tokens, size_t i)
{
    while (i < tokens.size() && tokens[i].kind == Token::Space)
        ++i;
    return i;
}

// Index of the previous token that is not blank, before `i`; SIZE_MAX when none.
size_t PrevSig(const Tokens& tokens, size_t i)
{
    while (i > 0) {
        --i;
        if (tokens[i].kind != Token::Space)
            return i;
    }
    return SIZE_MAX;
}

// The token closing the parenthesis opened at `open`; tokens.size() when unbalanced.
size_t MatchingParen(const Tokens& tokens, size_t open)
{
    int depth = 0;
    for (size_t i = open; i < tokens.size(); ++i) {
        if (IsSymbol(tokens[i], "("))
            ++depth;
        else if (IsSymbol(tokens[i], ")") && --depth == 0)
            return i;
    }
    return tokens.size();
}

Tokens Trimmed(const Tokens& tokens)
{
    size_t from = 0;
    size_t to = tokens.size();
    while (from < to && tokens[from].kind == Token::Space)
        ++from;
    while (to > from && tokens[to - 1].kind == Token::Space)
        --to;
    return Tokens(tokens.begin() + static_cast<std::ptrdiff_t>(from),
                  tokens.begin() + static_cast<std::ptrdiff_t>(to));
}

// The tokens before the first word `word`; all of them when there is none.
Tokens CutAtWord(const Tokens& tokens, const char* word)
{
    for (size_t k = 0; k < tokens.size(); ++k) {
        if (IsWord(tokens[k], word))
            return Tokens(tokens.begin(), tokens.begin() + static_cast<std::ptrdiff_t>(k));
    }
    return tokens;
}

// Splits at the commas outside parentheses.
std::vector<Tokens> SplitTopLevel(const Tokens& tokens, size_t from, size_t to)
{
    std::vector<Tokens> parts(1);
    int depth = 0;
    for (size_t i = from; i < to; ++i) {
        const Token& t = tokens[i];
        if (IsSymbol(t, "("))
            ++depth;
        else if (IsSymbol(t, ")"))
            --depth;
        if (depth == 0 && IsSymbol(t, ",")) {
            parts.emplace_back();
            continue;
        }
        parts.back().push_back(t);
    }
    return parts;
}

const QSet<QString>& ClauseWords()
{
    static const QSet<QString> words = {
        QStringLiteral("ON"),      QStringLiteral("WHERE"),  QStringLiteral("LEFT"),
        QStringLiteral("RIGHT"),   QStringLiteral("INNER"),  QStringLiteral("OUTER"),
        QStringLiteral("JOIN"),    QStringLiteral("CROSS"),  QStringLiteral("FULL"),
        QStringLiteral("GROUP"),   QStringLiteral("ORDER"),  QStringLiteral("HAVING"),
        QStringLiteral("UNION"),   QStringLiteral("SET"),    QStringLiteral("VALUES"),
        QStringLiteral("LIMIT"),   QStringLiteral("AS"),     QStringLiteral("SELECT"),
        QStringLiteral("NATURAL"), QStringLiteral("USING"),  QStringLiteral("INTO"),
        QStringLiteral("FROM"),    QStringLiteral("AND"),    QStringLiteral("OR"),
        QStringLiteral("NOT"),     QStringLiteral("EXCEPT"), QStringLiteral("INTERSECT"),
        QStringLiteral("DEFAULT"),
    };
    return words;
}

bool IsClauseWord(const Token& t)
{
    return t.kind == Token::Word && ClauseWords().contains(t.text.toUpper());
}

// --- Date literals -----------------------------------------------------------------------

QString IsoFromDateLiteral(const QString& literal)
{
    const QString inner = literal.mid(1, literal.size() - 2).trimmed();
    const QStringList parts = inner.split(u' ', Qt::SkipEmptyParts);
    QDate date;
    QTime time(0, 0);
    if (!parts.isEmpty()) {
        const QString d = parts.first();
        const QChar sep = d.contains(u'/') ? u'/' : u'-';
        const QStringList f = d.split(sep);
        if (f.size() == 3) {
            bool ok1 = false, ok2 = false, ok3 = false;
            const int a = f[0].toInt(&ok1), b = f[1].toInt(&ok2);
            int c = f[2].toInt(&ok3);
            if (ok1 && ok2 && ok3) {
                if (f[0].size() == 4) { // yyyy-mm-dd or yyyy/mm/dd
                    date = QDate(a, b, c);
                } else {
                    if (f[2].size() <= 2)
                        c += c < 30 ? 2000 : 1900;
                    date = QDate(c, a, b); // month first
                }
            }
        }
    }
    if (date.isValid() && parts.size() > 1) {
        QString t = parts.mid(1).join(u' ').toUpper();
        const bool pm = t.endsWith(QLatin1String("PM"));
        const bool am = t.endsWith(QLatin1String("AM"));
        if (pm || am)
            t = t.chopped(2).trimmed();
        const QStringList hms = t.split(u':');
        bool ok = hms.size() >= 2 && hms.size() <= 3;
        int h = ok ? hms[0].toInt(&ok) : 0;
        bool okm = false, oks = true;
        const int m = ok ? hms[1].toInt(&okm) : 0;
        const int s = hms.size() == 3 ? hms[2].toInt(&oks) : 0;
        if (pm && h < 12)
            h += 12;
        if (am && h == 12)
            h = 0;
        time = QTime(h, m, s);
        if (!ok || !okm || !oks || !time.isValid())
            date = QDate();
    }
    if (!date.isValid())
        throw Error(QStringLiteral("Date incorrecte dans la requête : %1").arg(literal));
    QString iso = date.toString(QStringLiteral("yyyy-MM-dd"));
    if (time != QTime(0, 0))
        iso += u' ' + time.toString(QStringLiteral("hh:mm:ss"));
    return iso;
}

// --- Tables of a statement ---------------------------------------------------------------

struct TableRef
{
    QString name;  // as written, unbracketed
    QString alias; // empty when none
    QString label() const { return alias.isEmpty() ? name : alias; }
};

// The tables the statement names after FROM, JOIN, UPDATE and INTO, and the comma-separated
// ones of a FROM list, at any depth.
std::vector<TableRef> CollectTables(const Tokens& tokens)
{
    std::vector<TableRef> refs;
    bool inFromList = false;
    int fromDepth = 0;
    int depth = 0;
    for (size_t i = 0; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (IsSymbol(t, "(")) {
            ++depth;
            continue;
        }
        if (IsSymbol(t, ")")) {
            --depth;
            if (depth < fromDepth)
                inFromList = false;
            continue;
        }
        bool takesTable = false;
        if (IsWord(t, "FROM") || IsWord(t, "JOIN") || IsWord(t, "UPDATE") || IsWord(t, "INTO")) {
            takesTable = true;
            inFromList =
                IsWord(t, "FROM") || IsWord(t, "JOIN") || (inFromList && depth >= fromDepth);
            fromDepth = depth;
        } else if (inFromList && depth == fromDepth && IsSymbol(t, ",")) {
            takesTable = true;
        } else if (inFromList && depth == fromDepth && IsClauseWord(t) && !IsWord(t, "AS") &&
                   !IsWord(t, "LEFT") && !IsWord(t, "RIGHT") && !IsWord(t, "INNER") &&
                   !IsWord(t, "OUTER") && !IsWord(t, "CROSS") && !IsWord(t, "FULL") &&
                   !IsWord(t, "ON") && !IsWord(t, "AND") && !IsWord(t, "OR") && !IsWord(t, "NOT")) {
            inFromList = false;
        }
        if (!takesTable)
            continue;
        size_t j = NextSig(tokens, i + 1);
        while (j < tokens.size() && IsSymbol(tokens[j], "(")) // (A INNER JOIN B ON ...) ...
            j = NextSig(tokens, j + 1);
        if (j >= tokens.size() || !IsName(tokens[j]) || IsClauseWord(tokens[j]))
            continue;
        TableRef ref{Unbracket(tokens[j]), QString()};
        size_t k = NextSig(tokens, j + 1);
        if (k < tokens.size() && IsWord(tokens[k], "AS"))
            k = NextSig(tokens, k + 1);
        if (k < tokens.size() && IsName(tokens[k]) && !IsClauseWord(tokens[k]))
            ref.alias = Unbracket(tokens[k]);
        refs.push_back(ref);
    }
    return refs;
}

// --- The translation proper ---------------------------------------------------------------

class Translator
{
public:
    Translator(SchemaSource* schema, bool dateRanges, const TextCollations& collations)
        : m_schema(schema), m_dateRanges(dateRanges), m_collations(collations)
    {}

    Translation run(const QString& statement);

private:
    // A column reference of one or three tokens ending at `end` (exclusive).
    struct ColumnRef
    {
        QString qualifier;
        QString column;
    };
    std::optional<ColumnRef> columnRef(const Tokens& tokens) const;
    const TableInfo* tableOf(const QString& nameOrAlias) const;
    const ColumnInfo* resolve(const ColumnRef& ref, QString* tableLabel = nullptr) const;
    bool isDateColumn(const Tokens& argument) const;
    bool isTextColumn(const Tokens& tokens, size_t from, size_t to) const;
    void markCollations(Tokens& tokens) const;

    QString emit(const Tokens& tokens, size_t from, size_t to);
    bool emitDateRange(const Tokens& tokens, size_t& i, size_t to, QString& out);
    struct MidCall
    {
        size_t open;
        size_t close;
        Tokens column;
        int start = 0;
        int length = 0;
        bool constant = false;
    };
    std::optional<MidCall> midCallAt(const Tokens& tokens, size_t i, size_t to) const;
    struct DatePredicate
    {
        size_t end; // one past the literal
        Tokens column;
        int start;
        QString op;
        QString literal;
    };
    std::optional<DatePredicate> predicateAt(const Tokens& tokens, size_t i, size_t to) const;

    Tokens rewriteDdl(const Tokens& tokens, Translation& result);
    void planSelect(const Tokens& tokens, Translation& result);

    SchemaSource* m_schema;
    bool m_dateRanges;
    TextCollations m_collations;
    std::vector<TableRef> m_tables;
};

std::optional<Translator::ColumnRef> Translator::columnRef(const Tokens& tokens) const
{
    const Tokens t = Trimmed(tokens);
    if (t.size() == 1 && IsName(t[0]) && !IsClauseWord(t[0]))
        return ColumnRef{QString(), Unbracket(t[0])};
    if (t.size() == 3 && IsName(t[0]) && IsSymbol(t[1], ".") && IsName(t[2]))
        return ColumnRef{Unbracket(t[0]), Unbracket(t[2])};
    return std::nullopt;
}

const TableInfo* Translator::tableOf(const QString& nameOrAlias) const
{
    if (!m_schema)
        return nullptr;
    for (const TableRef& ref : m_tables) {
        if (ref.alias.compare(nameOrAlias, Qt::CaseInsensitive) == 0)
            return m_schema->table(ref.name);
    }
    return m_schema->table(nameOrAlias);
}

const ColumnInfo* Translator::resolve(const ColumnRef& ref, QString* tableLabel) const
{
    if (!m_schema)
        return nullptr;
    if (!ref.qualifier.isEmpty()) {
        const TableInfo* table = tableOf(ref.qualifier);
        if (tableLabel)
            *tableLabel = ref.qualifier;
        return table ? table->column(ref.column) : nullptr;
    }
    for (const TableRef& tr : m_tables) {
        const TableInfo* table = m_schema->table(tr.name);
        if (const ColumnInfo* c = table ? table->column(ref.column) : nullptr) {
            if (tableLabel)
                *tableLabel = tr.label();
            return c;
        }
    }
    return nullptr;
}

bool Translator::isDateColumn(const Tokens& argument) const
{
    const std::optional<ColumnRef> ref = columnRef(argument);
    const ColumnInfo* c = ref ? resolve(*ref) : nullptr;
    return c && IsDateType(c->type);
}

bool Translator::isTextColumn(const Tokens& tokens, size_t from, size_t to) const
{
    const std::optional<ColumnRef> ref =
        columnRef(Tokens(tokens.begin() + static_cast<std::ptrdiff_t>(from),
                         tokens.begin() + static_cast<std::ptrdiff_t>(to)));
    const ColumnInfo* c = ref ? resolve(*ref) : nullptr;
    return c && IsTextType(c->type);
}

bool IsComparison(const Token& t)
{
    static const QStringList symbols = {
        QStringLiteral("="), QStringLiteral("=="), QStringLiteral("<>"), QStringLiteral("!="),
        QStringLiteral("<"), QStringLiteral(">"),  QStringLiteral("<="), QStringLiteral(">=")};
    return t.kind == Token::Symbol && symbols.contains(t.text);
}

// The text columns an ORDER BY lists and the text columns compared in a WHERE, ON or HAVING
// clause take the collations; the stored schema knows nothing of them.
void Translator::markCollations(Tokens& tokens) const
{
    if (!m_schema || m_collations.order.isEmpty() || m_collations.compare.isEmpty())
        return;
    enum class Clause
    {
        Other,
        Condition,
        OrderBy
    };
    std::vector<Clause> clauses{Clause::Other}; // one per open parenthesis
    bool itemStart = false;                     // at the start of an ORDER BY item
    const size_t n = tokens.size();
    for (size_t i = 0; i < n; ++i) {
        const Token& t = tokens[i];
        if (t.kind == Token::Space)
            continue;
        const bool atItem = itemStart;
        itemStart = false;
        if (IsSymbol(t, "(")) {
            // A call's arguments inside an ORDER BY are no items of it.
            const Clause inner = clauses.back() == Clause::OrderBy ? Clause::Other : clauses.back();
            clauses.push_back(inner);
            continue;
        }
        if (IsSymbol(t, ")")) {
            if (clauses.size() > 1)
                clauses.pop_back();
            continue;
        }
        if (IsSymbol(t, ",")) {
            itemStart = clauses.back() == Clause::OrderBy;
            continue;
        }
        if (IsWord(t, "WHERE") || IsWord(t, "ON") || IsWord(t, "HAVING")) {
            clauses.back() = Clause::Condition;
            continue;
        }
        if (IsWord(t, "ORDER")) {
            const size_t by = NextSig(tokens, i + 1);
            if (by < n && IsWord(tokens[by], "BY")) {
                clauses.back() = Clause::OrderBy;
                itemStart = true;
                i = by;
            }
            continue;
        }
        if (IsClauseWord(t) && !IsWord(t, "AND") && !IsWord(t, "OR") && !IsWord(t, "NOT")) {
            clauses.back() = Clause::Other;
            continue;
        }
        if (!IsName(t) || IsClauseWord(t) || clauses.back() == Clause::Other)
            continue;
        // A column, alone or qualified; `last` is its name's token.
        size_t last = i;
        const size_t dot = NextSig(tokens, i + 1);
        if (dot + 1 < n && IsSymbol(tokens[dot], ".") && IsName(tokens[dot + 1]))
            last = dot + 1;
        const size_t after = NextSig(tokens, last + 1);
        const size_t before = PrevSig(tokens, i);
        const size_t from = i;
        i = last;
        if (after < n && IsSymbol(tokens[after], "("))
            continue; // a function
        if (clauses.back() == Clause::OrderBy) {
            const bool wholeItem = after >= n || IsSymbol(tokens[after], ",") ||
                                   IsSymbol(tokens[after], ")") || IsWord(tokens[after], "ASC") ||
                                   IsWord(tokens[after], "DESC") || IsWord(tokens[after], "LIMIT");
            if (atItem && wholeItem && isTextColumn(tokens, from, last + 1))
                tokens[last].collation = m_collations.order;
            continue;
        }
        const bool compared =
            (after < n && (IsComparison(tokens[after]) || IsWord(tokens[after], "IN") ||
                           IsWord(tokens[after], "BETWEEN"))) ||
            (before != SIZE_MAX && IsComparison(tokens[before]));
        if (compared && isTextColumn(tokens, from, last + 1))
            tokens[last].collation = m_collations.compare;
    }
}

std::optional<Translator::MidCall> Translator::midCallAt(const Tokens& tokens, size_t i,
                                                         size_t to) const
{
    if (!IsWord(tokens[i], "MID"))
        return std::nullopt;
    const size_t open = NextSig(tokens, i + 1);
    if (open >= to || !IsSymbol(tokens[open], "("))
        return std::nullopt;
    const size_t close = MatchingParen(tokens, open);
    if (close >= to)
        return std::nullopt;
    const std::vector<Tokens> args = SplitTopLevel(tokens, open + 1, close);
    if (args.size() != 2 && args.size() != 3)
        return std::nullopt;
    MidCall call{open, close, Trimmed(args[0])};
    const Tokens s = Trimmed(args[1]);
    const Tokens l = args.size() == 3 ? Trimmed(args[2]) : Tokens();
    call.constant =
        s.size() == 1 && s[0].kind == Token::Number && l.size() == 1 && l[0].kind == Token::Number;
    if (call.constant) {
        call.start = s[0].text.toInt();
        call.length = l[0].text.toInt();
    }
    return call;
}

std::optional<Translator::DatePredicate> Translator::predicateAt(const Tokens& tokens, size_t i,
                                                                 size_t to) const
{
    const std::optional<MidCall> call = midCallAt(tokens, i, to);
    if (!call || !call->constant || !isDateColumn(call->column))
        return std::nullopt;
    const bool year = call->start == 7 && call->length == 4;
    const bool month = call->start == 4 && call->length == 2;
    if (!year && !month)
        return std::nullopt;
    const size_t opAt = NextSig(tokens, call->close + 1);
    if (opAt >= to || tokens[opAt].kind != Token::Symbol)
        return std::nullopt;
    const QString op = tokens[opAt].text;
    static const QStringList ops = {QStringLiteral("="),  QStringLiteral(">="),
                                    QStringLiteral("<="), QStringLiteral(">"),
                                    QStringLiteral("<"),  QStringLiteral("<>")};
    if (!ops.contains(op))
        return std::nullopt;
    const size_t litAt = NextSig(tokens, opAt + 1);
    if (litAt >= to || tokens[litAt].kind != Token::String)
        return std::nullopt;
    const QString literal = tokens[litAt].text.mid(1, tokens[litAt].text.size() - 2);
    bool ok = false;
    const int value = literal.toInt(&ok);
    for (const QChar c : literal)
        ok = ok && c.isDigit();
    if (year && (!ok || literal.size() != 4 || value < 1000 || value > 9998))
        return std::nullopt;
    if (month && (!ok || literal.size() != 2 || value < 1 || value > 12 || op != u"="))
        return std::nullopt;
    // What follows must not bind tighter than AND, or the range would change the meaning.
    const size_t after = NextSig(tokens, litAt + 1);
    if (after < to && !IsWord(tokens[after], "AND") && !IsWord(tokens[after], "OR") &&
        !IsSymbol(tokens[after], ")") && !IsWord(tokens[after], "ORDER") &&
        !IsWord(tokens[after], "GROUP") && !IsWord(tokens[after], "HAVING") &&
        !IsWord(tokens[after], "LIMIT") && !IsWord(tokens[after], "UNION") &&
        !IsSymbol(tokens[after], ";"))
        return std::nullopt;
    return DatePredicate{litAt + 1, call->column, call->start, op, literal};
}

QString YearStart(int year)
{
    return QStringLiteral("'%1-01-01'").arg(year, 4, 10, QChar(u'0'));
}

// MID(d,7,4) <op> 'yyyy' and MID(d,4,2)='mm' AND MID(d,7,4)='yyyy' as ranges of the ISO date
// text; true when it wrote one, with `i` moved past it.
bool Translator::emitDateRange(const Tokens& tokens, size_t& i, size_t to, QString& out)
{
    const size_t before = PrevSig(tokens, i);
    if (before != SIZE_MAX && !IsWord(tokens[before], "WHERE") && !IsWord(tokens[before], "AND") &&
        !IsWord(tokens[before], "OR") && !IsWord(tokens[before], "ON") &&
        !IsWord(tokens[before], "HAVING") && !IsSymbol(tokens[before], "("))
        return false;
    const std::optional<DatePredicate> first = predicateAt(tokens, i, to);
    if (!first)
        return false;
    const QString column = Join(first->column);

    // A month and a year of the same column joined by AND: one month's range.
    const size_t andAt = NextSig(tokens, first->end);
    if (andAt < to && IsWord(tokens[andAt], "AND") && first->op == u"=") {
        const size_t secondAt = NextSig(tokens, andAt + 1);
        const std::optional<DatePredicate> second =
            secondAt < to ? predicateAt(tokens, secondAt, to) : std::nullopt;
        if (second && second->op == u"=" && second->start != first->start &&
            Join(second->column).compare(column, Qt::CaseInsensitive) == 0) {
            const int month = (first->start == 4 ? first->literal : second->literal).toInt();
            const int year = (first->start == 7 ? first->literal : second->literal).toInt();
            const QDate from(year, month, 1);
            const QDate until = from.addMonths(1);
            out += QStringLiteral("(%1 >= '%2' AND %1 < '%3')")
                       .arg(column, from.toString(QStringLiteral("yyyy-MM-dd")),
                            until.toString(QStringLiteral("yyyy-MM-dd")));
            i = second->end;
            return true;
        }
    }
    if (first->start != 7)
        return false;
    const int year = first->literal.toInt();
    const QString from = YearStart(year);
    const QString until = YearStart(year + 1);
    if (first->op == u"=")
        out += QStringLiteral("(%1 >= %2 AND %1 < %3)").arg(column, from, until);
    else if (first->op == u">=")
        out += QStringLiteral("%1 >= %2").arg(column, from);
    else if (first->op == u">")
        out += QStringLiteral("%1 >= %2").arg(column, until);
    else if (first->op == u"<=")
        out += QStringLiteral("%1 < %2").arg(column, until);
    else if (first->op == u"<")
        out += QStringLiteral("%1 < %2").arg(column, from);
    else
        out += QStringLiteral("(%1 < %2 OR %1 >= %3)").arg(column, from, until);
    i = first->end;
    return true;
}

// Writes the tokens [from, to) in the engine's dialect.
QString Translator::emit(const Tokens& tokens, size_t from, size_t to)
{
    QString out;
    for (size_t i = from; i < to; ++i) {
        const Token& t = tokens[i];
        if (!t.collation.isEmpty()) {
            out += t.text + QLatin1String(" COLLATE ") + t.collation;
            continue;
        }
        if (t.kind == Token::DateLiteral) {
            out += Quote(IsoFromDateLiteral(t.text));
            continue;
        }
        if (t.kind == Token::Symbol && t.text == u"&") {
            out += QLatin1String("||");
            continue;
        }
        if (t.kind != Token::Word) {
            out += t.text;
            continue;
        }
        if (IsWord(t, "DISTINCTROW")) {
            out += QLatin1String("DISTINCT");
            continue;
        }
        const size_t next = NextSig(tokens, i + 1);
        const bool call = next < to && IsSymbol(tokens[next], "(");
        if (call && IsWord(t, "MID")) {
            if (m_dateRanges && emitDateRange(tokens, i, to, out)) {
                --i;
                continue;
            }
            if (const std::optional<MidCall> mid = midCallAt(tokens, i, to)) {
                const std::vector<Tokens> args = SplitTopLevel(tokens, mid->open + 1, mid->close);
                const QString value = emit(args[0], 0, args[0].size());
                QString subject = value;
                if (isDateColumn(args[0])) {
                    const QString c = value.trimmed();
                    subject =
                        QStringLiteral("(substr(%1,9,2)||'/'||substr(%1,6,2)||'/'||substr(%1,1,4))")
                            .arg(c);
                }
                out += QLatin1String("substr(") + subject + u',' + emit(args[1], 0, args[1].size());
                if (args.size() == 3)
                    out += u',' + emit(args[2], 0, args[2].size());
                out += u')';
                i = mid->close;
                continue;
            }
        }
        if (call && IsWord(t, "LEN")) {
            out += QLatin1String("length");
            continue;
        }
        if (call && IsWord(t, "UCASE")) {
            out += QLatin1String("upper");
            continue;
        }
        if (call && IsWord(t, "LCASE")) {
            out += QLatin1String("lower");
            continue;
        }
        out += t.text;
    }
    return out;
}

// --- DDL -----------------------------------------------------------------------------------

QString CanonicalType(const QString& word, const QString& secondWord, const QString& size,
                      bool* autoIncrement, bool* isText, int* textSize)
{
    const QString w = word.toUpper();
    *autoIncrement = false;
    *isText = false;
    if (w == u"COUNTER" || w == u"AUTOINCREMENT" || w == u"IDENTITY") {
        *autoIncrement = true;
        return QStringLiteral("INTEGER PRIMARY KEY AUTOINCREMENT");
    }
    if (w == u"SHORT" || w == u"SMALLINT" || w == u"INTEGER2")
        return QStringLiteral("SMALLINT");
    if (w == u"LONG" || w == u"INT" || w == u"INTEGER" || w == u"INTEGER4")
        return QStringLiteral("INTEGER");
    if (w == u"BYTE" || w == u"TINYINT" || w == u"INTEGER1")
        return QStringLiteral("TINYINT");
    if (w == u"DOUBLE" || w == u"FLOAT" || w == u"FLOAT8" || w == u"NUMBER")
        return QStringLiteral("DOUBLE");
    if (w == u"REAL" || w == u"SINGLE" || w == u"FLOAT4")
        return QStringLiteral("REAL");
    if (w == u"CURRENCY" || w == u"MONEY")
        return QStringLiteral("CURRENCY");
    if (w == u"DECIMAL" || w == u"NUMERIC" || w == u"DEC")
        return QStringLiteral("DECIMAL") + size;
    if (w == u"DATETIME" || w == u"DATE" || w == u"TIME" || w == u"TIMESTAMP")
        return QStringLiteral("DATETIME");
    if (w == u"YESNO" || w == u"BIT" || w == u"LOGICAL" || w == u"LOGICAL1" || w == u"BOOLEAN")
        return QStringLiteral("BOOLEAN");
    const bool sized = !size.isEmpty();
    if ((w == u"TEXT" && sized) || w == u"VARCHAR" || w == u"CHAR" || w == u"CHARACTER" ||
        w == u"NVARCHAR" || w == u"NCHAR" || w == u"STRING" || w == u"ALPHANUMERIC") {
        *isText = true;
        *textSize = sized ? DeclaredSize(QStringLiteral("T") + size) : 255;
        return QStringLiteral("VARCHAR(%1)").arg(*textSize);
    }
    if (w == u"TEXT" || w == u"MEMO" || w == u"LONGTEXT" || w == u"LONGCHAR" || w == u"NOTE" ||
        w == u"NTEXT")
        return QStringLiteral("LONGTEXT");
    if (w == u"LONGBINARY" || w == u"OLEOBJECT" || w == u"IMAGE" || w == u"GENERAL" ||
        w == u"BLOB" || w == u"LONGVARBINARY")
        return QStringLiteral("LONGVARBINARY");
    if (w == u"BINARY" || w == u"VARBINARY")
        return QStringLiteral("VARBINARY") + (sized ? size : QStringLiteral("(510)"));
    if (w == u"GUID" || w == u"UNIQUEIDENTIFIER")
        return QStringLiteral("GUID");
    return word + (secondWord.isEmpty() ? QString() : u' ' + secondWord) + size;
}

QString TranslateColumnTokens(const Tokens& input)
{
    const Tokens t = Trimmed(input);
    if (t.empty() || !IsName(t[0]))
        return Join(t);
    const QString name = Unbracket(t[0]);
    size_t i = NextSig(t, 1);
    if (i >= t.size())
        return Join(t);
    QString word;
    QString second;
    QString size;
    if (t[i].kind == Token::Word) {
        word = t[i].text;
        i = NextSig(t, i + 1);
        if (i < t.size() && (IsWord(t[i], "PRECISION") || IsWord(t[i], "VARYING"))) {
            second = t[i].text;
            i = NextSig(t, i + 1);
        }
        if (i < t.size() && IsSymbol(t[i], "(")) {
            const size_t close = MatchingParen(t, i);
            size = Join(t, i, close + 1);
            size.remove(u' ');
            i = NextSig(t, close + 1);
        }
    }
    bool autoIncrement = false;
    bool isText = false;
    int textSize = 0;
    const QString type =
        word.isEmpty() ? QString()
                       : CanonicalType(word, second, size, &autoIncrement, &isText, &textSize);

    // The constraints that follow, without the ones the engine would refuse.
    QString rest;
    while (i < t.size()) {
        if (IsWord(t[i], "WITH")) {
            const size_t j = NextSig(t, i + 1);
            if (j < t.size() && (IsWord(t[j], "COMPRESSION") || IsWord(t[j], "COMP"))) {
                i = NextSig(t, j + 1);
                continue;
            }
        }
        if (autoIncrement && IsWord(t[i], "PRIMARY")) {
            const size_t j = NextSig(t, i + 1);
            if (j < t.size() && IsWord(t[j], "KEY")) {
                i = NextSig(t, j + 1);
                continue;
            }
        }
        if (autoIncrement && IsWord(t[i], "CONSTRAINT")) {
            const size_t nameAt = NextSig(t, i + 1);
            const size_t j = NextSig(t, nameAt + 1);
            if (j < t.size() && IsWord(t[j], "PRIMARY")) {
                const size_t k = NextSig(t, j + 1);
                i = NextSig(t, k + 1);
                continue;
            }
        }
        rest += t[i].text;
        ++i;
    }
    rest = rest.trimmed();
    QString out = Bracket(name);
    if (!type.isEmpty())
        out += u' ' + type;
    if (!rest.isEmpty())
        out += u' ' + rest;
    if (isText)
        out += QStringLiteral(" CHECK(length(%1)<=%2)").arg(Bracket(name)).arg(textSize);
    return out;
}

Tokens Retokenized(const QString& sql)
{
    return Tokenize(sql);
}

Tokens Translator::rewriteDdl(const Tokens& tokens, Translation& result)
{
    const size_t first = NextSig(tokens, 0);
    const size_t second = NextSig(tokens, first + 1);
    if (second >= tokens.size())
        return tokens;
    result.schemaChange = true;

    // CREATE TABLE name ( definitions ) ...
    if (IsWord(tokens[first], "CREATE") && IsWord(tokens[second], "TABLE")) {
        size_t open = second + 1;
        while (open < tokens.size() && !IsSymbol(tokens[open], "("))
            ++open;
        if (open >= tokens.size())
            return tokens;
        const size_t close = MatchingParen(tokens, open);
        const std::vector<Tokens> defs = SplitTopLevel(tokens, open + 1, close);
        QStringList counters;
        for (const Tokens& def : defs) {
            const Tokens d = Trimmed(def);
            const size_t typeAt = NextSig(d, 1);
            if (!d.empty() && IsName(d[0]) && typeAt < d.size() &&
                (IsWord(d[typeAt], "COUNTER") || IsWord(d[typeAt], "AUTOINCREMENT") ||
                 IsWord(d[typeAt], "IDENTITY")))
                counters << Unbracket(d[0]).toUpper();
        }
        QStringList out;
        for (const Tokens& def : defs) {
            const Tokens d = Trimmed(def);
            if (d.empty())
                continue;
            const bool constraint = IsWord(d[0], "CONSTRAINT") || IsWord(d[0], "PRIMARY") ||
                                    IsWord(d[0], "UNIQUE") || IsWord(d[0], "FOREIGN") ||
                                    IsWord(d[0], "CHECK");
            if (!constraint) {
                out << TranslateColumnTokens(d);
                continue;
            }
            // A primary key on the counter column is already the counter's.
            QString keyColumns;
            bool primary = false;
            for (size_t k = 0; k < d.size(); ++k) {
                if (IsWord(d[k], "PRIMARY"))
                    primary = true;
                if (primary && IsSymbol(d[k], "(")) {
                    const size_t c = MatchingParen(d, k);
                    keyColumns = Join(d, k + 1, c).trimmed();
                    break;
                }
            }
            keyColumns.remove(u'[').remove(u']');
            if (primary && counters.contains(keyColumns.trimmed().toUpper()))
                continue;
            out << Join(d);
        }
        QString sql = Join(tokens, 0, open + 1) + out.join(QStringLiteral(", ")) + u')' +
                      Join(tokens, close + 1);
        return Retokenized(sql);
    }

    // ALTER TABLE t ADD|ALTER|DROP [COLUMN] ...
    if (IsWord(tokens[first], "ALTER") && IsWord(tokens[second], "TABLE")) {
        const size_t tableAt = NextSig(tokens, second + 1);
        const size_t actionAt = NextSig(tokens, tableAt + 1);
        if (actionAt >= tokens.size() || !IsName(tokens[tableAt]))
            return tokens;
        size_t defAt = NextSig(tokens, actionAt + 1);
        if (defAt < tokens.size() && IsWord(tokens[defAt], "COLUMN"))
            defAt = NextSig(tokens, defAt + 1);
        const Tokens def(tokens.begin() +
                             static_cast<std::ptrdiff_t>(std::min(defAt, tokens.size())),
                         tokens.end());
        const QString head = Join(tokens, 0, actionAt);
        if (IsWord(tokens[actionAt], "ADD")) {
            const size_t d0 = NextSig(tokens, defAt);
            if (d0 < tokens.size() &&
                (IsWord(tokens[d0], "CONSTRAINT") || IsWord(tokens[d0], "PRIMARY")))
                return tokens;
            return Retokenized(head + QStringLiteral("ADD COLUMN ") + TranslateColumnTokens(def));
        }
        if (IsWord(tokens[actionAt], "ALTER")) {
            result.kind = Translation::Kind::AlterColumn;
            result.alterTable = Unbracket(tokens[tableAt]);
            const Tokens d = Trimmed(def);
            result.alterColumn = d.empty() ? QString() : Unbracket(d[0]);
            result.alterDefinition = TranslateColumnTokens(def);
            return tokens;
        }
        if (IsWord(tokens[actionAt], "DROP")) {
            const size_t d0 = NextSig(tokens, defAt);
            if (d0 < tokens.size() && IsWord(tokens[d0], "CONSTRAINT"))
                return tokens;
            return Retokenized(head + QStringLiteral("DROP COLUMN ") + Join(Trimmed(def)));
        }
        return tokens;
    }

    // CREATE [UNIQUE] INDEX ... WITH PRIMARY|DISALLOW NULL|IGNORE NULL
    if (IsWord(tokens[first], "CREATE"))
        return CutAtWord(tokens, "WITH");

    // DROP INDEX i ON t
    if (IsWord(tokens[first], "DROP") && IsWord(tokens[second], "INDEX"))
        return CutAtWord(tokens, "ON");
    return tokens;
}

// --- SELECT planning -------------------------------------------------------------------------

void Translator::planSelect(const Tokens& tokens, Translation& result)
{
    result.kind = Translation::Kind::Select;
    const size_t select = NextSig(tokens, 0);
    size_t listStart = select + 1;
    bool distinct = false;
    size_t k = NextSig(tokens, listStart);
    if (k < tokens.size() && (IsWord(tokens[k], "DISTINCT") || IsWord(tokens[k], "ALL"))) {
        distinct = IsWord(tokens[k], "DISTINCT");
        listStart = k + 1;
    }

    // Top-level FROM and the end of the FROM clause.
    size_t from = tokens.size();
    size_t fromEnd = tokens.size();
    bool grouped = false;
    int depth = 0;
    for (size_t i = listStart; i < tokens.size(); ++i) {
        const Token& t = tokens[i];
        if (IsSymbol(t, "("))
            ++depth;
        else if (IsSymbol(t, ")"))
            --depth;
        if (depth != 0 || t.kind != Token::Word)
            continue;
        if (from == tokens.size()) {
            if (IsWord(t, "FROM"))
                from = i;
            continue;
        }
        if (IsWord(t, "GROUP") || IsWord(t, "HAVING") || IsWord(t, "UNION") ||
            IsWord(t, "EXCEPT") || IsWord(t, "INTERSECT"))
            grouped = true;
        if (fromEnd == tokens.size() &&
            (IsWord(t, "WHERE") || IsWord(t, "GROUP") || IsWord(t, "HAVING") ||
             IsWord(t, "ORDER") || IsWord(t, "UNION") || IsWord(t, "LIMIT") ||
             IsWord(t, "EXCEPT") || IsWord(t, "INTERSECT")))
            fromEnd = i;
    }
    if (from == tokens.size() || !m_schema)
        return;

    // The tables of the FROM clause, in order.
    std::vector<TableRef> tables;
    bool joined = false;
    for (size_t i = from + 1; i < fromEnd; ++i) {
        const Token& t = tokens[i];
        if (IsWord(t, "SELECT"))
            return; // a sub-query: the driver's names stand
        if (IsWord(t, "JOIN") || IsSymbol(t, ","))
            joined = true;
    }
    {
        const Tokens fromTokens(tokens.begin() + static_cast<std::ptrdiff_t>(from),
                                tokens.begin() + static_cast<std::ptrdiff_t>(fromEnd));
        tables = CollectTables(fromTokens);
    }
    if (tables.empty())
        return;
    std::vector<const TableInfo*> infos;
    for (const TableRef& ref : tables) {
        const TableInfo* info = m_schema->table(ref.name);
        if (!info)
            return;
        infos.push_back(info);
    }

    struct Item
    {
        QString text; // the engine's text of the item, alias excluded
        ResultColumn column;
        bool expanded = false;
        bool aggregate = false;
    };
    std::vector<Item> items;
    int expressionNumber = 1000;
    const std::vector<Tokens> parts = SplitTopLevel(tokens, listStart, from);
    for (const Tokens& raw : parts) {
        const Tokens part = Trimmed(raw);
        if (part.empty())
            return;
        // * and T.*
        const bool star = part.size() == 1 && IsSymbol(part[0], "*");
        const bool tableStar =
            part.size() == 3 && IsName(part[0]) && IsSymbol(part[1], ".") && IsSymbol(part[2], "*");
        if (star || tableStar) {
            for (size_t ti = 0; ti < tables.size(); ++ti) {
                if (tableStar &&
                    Unbracket(part[0]).compare(tables[ti].label(), Qt::CaseInsensitive) != 0 &&
                    Unbracket(part[0]).compare(tables[ti].name, Qt::CaseInsensitive) != 0)
                    continue;
                for (const ColumnInfo& c : infos[ti]->columns) {
                    Item item;
                    item.expanded = true;
                    item.text = Bracket(tables[ti].label()) + u'.' + Bracket(c.name);
                    item.column = {c.name, tables[ti].label(), c.name, c.type,
                                   c.size, c.autoIncrement};
                    items.push_back(item);
                }
            }
            continue;
        }
        // expression [AS alias]
        Tokens expression = part;
        QString alias;
        if (part.size() >= 3) {
            const size_t last = part.size() - 1;
            const size_t as = PrevSig(part, last);
            if (as != SIZE_MAX && IsWord(part[as], "AS") &&
                (IsName(part[last]) || part[last].kind == Token::String)) {
                alias = part[last].kind == Token::String
                            ? part[last].text.mid(1, part[last].text.size() - 2)
                            : Unbracket(part[last]);
                expression =
                    Trimmed(Tokens(part.begin(), part.begin() + static_cast<std::ptrdiff_t>(as)));
            }
        }
        Item item;
        item.text = emit(expression, 0, expression.size());
        if (const std::optional<ColumnRef> ref = columnRef(expression)) {
            QString label;
            if (const ColumnInfo* c = resolve(*ref, &label)) {
                item.column = {alias.isEmpty() ? ref->column : alias,
                               label,
                               c->name,
                               c->type,
                               c->size,
                               c->autoIncrement};
                items.push_back(item);
                continue;
            }
        }
        // An aggregate over a column keeps a type the fields can read.
        item.column.name =
            alias.isEmpty() ? QStringLiteral("Expr%1").arg(expressionNumber++) : alias;
        if (!expression.empty() && expression[0].kind == Token::Word) {
            const size_t open = NextSig(expression, 1);
            if (open < expression.size() && IsSymbol(expression[open], "(") &&
                MatchingParen(expression, open) == expression.size() - 1) {
                const QString f = expression[0].text.toUpper();
                if (f == u"COUNT" || f == u"SUM" || f == u"AVG" || f == u"MIN" || f == u"MAX") {
                    item.aggregate = true;
                    if (f == u"COUNT")
                        item.column.type = FieldType::ftLargeInt;
                    else if (f == u"SUM" || f == u"AVG")
                        item.column.type = FieldType::ftFloat;
                    else if (const std::optional<ColumnRef> ref = columnRef(
                                 Tokens(expression.begin() + static_cast<std::ptrdiff_t>(open) + 1,
                                        expression.end() - 1))) {
                        if (const ColumnInfo* c = resolve(*ref))
                            item.column.type = c->type;
                    }
                }
            }
        }
        items.push_back(item);
    }

    // Columns several tables share are named "TABLE.COLUMN", as the join gives them.
    QHash<QString, int> counts;
    for (const Item& item : items) {
        if (item.expanded)
            ++counts[item.column.name.toUpper()];
    }
    for (Item& item : items) {
        if (item.expanded && counts.value(item.column.name.toUpper()) > 1)
            item.column.name = item.column.table + u'.' + item.column.name;
    }

    bool aggregate = false;
    QStringList list;
    for (const Item& item : items) {
        aggregate = aggregate || item.aggregate;
        list << item.text + QLatin1String(" AS ") + Bracket(item.column.name);
        result.columns.push_back(item.column);
    }
    const bool updatable = !joined && !distinct && !grouped && !aggregate && tables.size() == 1;
    if (updatable) {
        const QString label = tables.front().label();
        list << Bracket(label) + QLatin1String(".rowid AS ") +
                    Bracket(QLatin1String(JetDialect::kKeyColumn));
        ResultColumn key;
        key.name = QLatin1String(JetDialect::kKeyColumn);
        key.table = label;
        key.type = FieldType::ftLargeInt;
        result.columns.push_back(key);
        result.updatableTable = infos.front()->name;
        result.keyAlias = label;
    }
    result.selectList = list.join(QStringLiteral(", "));
    result.fromClause = emit(tokens, from, fromEnd).trimmed();
    const QString head = emit(tokens, 0, listStart).trimmed();
    result.sql = head + u' ' + result.selectList + u' ' + emit(tokens, from, tokens.size());
    if (updatable)
        result.keySelect = head + u' ' + Bracket(tables.front().label()) +
                           QLatin1String(".rowid AS ") +
                           Bracket(QLatin1String(JetDialect::kKeyColumn)) + u' ' +
                           emit(tokens, from, tokens.size());
}

Translation Translator::run(const QString& statement)
{
    Translation result;
    Tokens tokens = Tokenize(statement);
    while (!tokens.empty() && (tokens.back().kind == Token::Space || IsSymbol(tokens.back(), ";")))
        tokens.pop_back();
    m_tables = CollectTables(tokens);

    const size_t first = NextSig(tokens, 0);
    if (first >= tokens.size()) {
        result.sql = QString();
        return result;
    }
    const Token& head = tokens[first];

    if (IsWord(head, "CREATE") || IsWord(head, "ALTER") || IsWord(head, "DROP")) {
        tokens = rewriteDdl(tokens, result);
        if (result.kind == Translation::Kind::AlterColumn)
            return result;
        result.sql = emit(tokens, 0, tokens.size());
        return result;
    }

    // DELETE * FROM t, DELETE t.* FROM t
    if (IsWord(head, "DELETE")) {
        size_t k = NextSig(tokens, first + 1);
        size_t fromAt = k;
        while (fromAt < tokens.size() && !IsWord(tokens[fromAt], "FROM"))
            ++fromAt;
        if (fromAt < tokens.size() && fromAt > k) {
            tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(k),
                         tokens.begin() + static_cast<std::ptrdiff_t>(fromAt));
        }
    }

    markCollations(tokens);

    // SELECT [DISTINCT] TOP n ... : LIMIT n at the end.
    QString limit;
    if (IsWord(head, "SELECT")) {
        size_t k = NextSig(tokens, first + 1);
        if (k < tokens.size() &&
            (IsWord(tokens[k], "DISTINCT") || IsWord(tokens[k], "DISTINCTROW")))
            k = NextSig(tokens, k + 1);
        if (k < tokens.size() && IsWord(tokens[k], "TOP")) {
            const size_t n = NextSig(tokens, k + 1);
            if (n < tokens.size() && tokens[n].kind == Token::Number) {
                limit = tokens[n].text;
                tokens.erase(tokens.begin() + static_cast<std::ptrdiff_t>(k),
                             tokens.begin() + static_cast<std::ptrdiff_t>(n) + 1);
            }
        }
        planSelect(tokens, result);
        if (result.sql.isEmpty())
            result.sql = emit(tokens, 0, tokens.size());
        if (!limit.isEmpty())
            result.sql += QLatin1String(" LIMIT ") + limit;
        return result;
    }
    if (IsWord(head, "PRAGMA") || IsWord(head, "WITH") || IsWord(head, "VALUES"))
        result.kind = Translation::Kind::Select;
    result.sql = emit(tokens, 0, tokens.size());
    return result;
}

} // namespace

JetDialect::JetDialect(SchemaSource* schema, bool dateRanges, TextCollations collations)
    : m_schema(schema), m_dateRanges(dateRanges), m_collations(std::move(collations))
{}

Translation JetDialect::translate(const QString& statement) const
{
    Translator translator(m_schema, m_dateRanges, m_collations);
    return translator.run(statement);
}

QString JetDialect::translateColumnDefinition(const QString& definition)
{
    return TranslateColumnTokens(Tokenize(definition));
}

} // namespace tilvo
