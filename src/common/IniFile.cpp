// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/IniFile.h"

#include "common/FileHelpers.h"
#include "common/Windows1252.h"

#include <QFile>
#include <limits>

namespace tilvo {

namespace {

QByteArray TrimBytes(const QByteArray& text)
{
    qsizetype first = 0;
    qsizetype last = text.size();
    while (first < last && (text.at(first) == ' ' || text.at(first) == '\t'))
        ++first;
    while (last > first && (text.at(last - 1) == ' ' || text.at(last - 1) == '\t'))
        --last;
    return text.mid(first, last - first);
}

bool IsBlankOrComment(const QByteArray& line)
{
    const QByteArray text = TrimBytes(line);
    return text.isEmpty() || text.startsWith(';') || text.startsWith('#');
}

bool ParseInteger(const QString& raw, int& result)
{
    QString text = raw.trimmed();
    bool negative = false;
    if (text.startsWith(u'-') || text.startsWith(u'+')) {
        negative = text.startsWith(u'-');
        text.remove(0, 1);
    }
    int base = 10;
    if (text.startsWith(QLatin1String("0x"), Qt::CaseInsensitive)) {
        base = 16;
        text.remove(0, 2);
    } else if (text.startsWith(u'$')) {
        base = 16;
        text.remove(0, 1);
    }
    if (text.isEmpty() || text.size() > 20)
        return false;
    for (const QChar c : text) {
        const bool digit = c >= u'0' && c <= u'9';
        const bool hex = (c >= u'a' && c <= u'f') || (c >= u'A' && c <= u'F');
        if (!digit && !(base == 16 && hex))
            return false;
    }
    bool ok = false;
    const qlonglong magnitude = text.toLongLong(&ok, base);
    if (!ok)
        return false;
    const qlonglong value = negative ? -magnitude : magnitude;
    if (value < std::numeric_limits<int>::min() || value > std::numeric_limits<int>::max())
        return false;
    result = static_cast<int>(value);
    return true;
}

} // namespace

IniFile::IniFile(const QString& path) : m_path(path)
{
    QFile file(path);
    if (file.open(QIODevice::ReadOnly)) {
        m_existed = true;
        parse(file.readAll());
    }
}

IniFile IniFile::fromBytes(const QByteArray& bytes, const QString& path)
{
    IniFile ini;
    ini.m_path = path;
    ini.m_existed = true;
    ini.parse(bytes);
    return ini;
}

void IniFile::parse(const QByteArray& bytes)
{
    m_utf8 = LooksLikeUtf8(bytes);
    bool newlineSeen = false;
    qsizetype start = 0;
    const qsizetype n = bytes.size();
    for (qsizetype i = 0; i < n; ++i) {
        const char c = bytes.at(i);
        if (c != '\r' && c != '\n')
            continue;
        const bool crlf = c == '\r' && i + 1 < n && bytes.at(i + 1) == '\n';
        Line line{bytes.mid(start, i - start), crlf ? QByteArray("\r\n") : QByteArray(1, c)};
        if (!newlineSeen) {
            m_newline = line.end;
            newlineSeen = true;
        }
        m_lines.push_back(std::move(line));
        if (crlf)
            ++i;
        start = i + 1;
    }
    if (start < n)
        m_lines.push_back(Line{bytes.mid(start), QByteArray()});
}

QString IniFile::decode(const QByteArray& bytes) const
{
    return m_utf8 ? QString::fromUtf8(bytes) : DecodeWindows1252(bytes);
}

QByteArray IniFile::encode(const QString& text) const
{
    return m_utf8 ? text.toUtf8() : EncodeWindows1252(text);
}

IniFile::Parsed IniFile::parseLine(const QByteArray& raw) const
{
    QByteArray text = TrimBytes(raw);
    if (text.startsWith("\xEF\xBB\xBF"))
        text = TrimBytes(text.mid(3));
    Parsed parsed;
    if (text.startsWith('[')) {
        const qsizetype close = text.indexOf(']');
        parsed.kind = Kind::Section;
        parsed.name = decode(TrimBytes(text.mid(1, close < 0 ? -1 : close - 1)));
        return parsed;
    }
    if (text.startsWith(';') || text.startsWith('#'))
        return parsed;
    const qsizetype equals = text.indexOf('=');
    if (equals <= 0)
        return parsed;
    parsed.kind = Kind::Key;
    parsed.name = decode(TrimBytes(text.left(equals)));
    QByteArray value = TrimBytes(text.mid(equals + 1));
    if (value.size() >= 2 && (value.front() == '"' || value.front() == '\'') &&
        value.back() == value.front())
        value = value.mid(1, value.size() - 2);
    parsed.value = decode(value);
    return parsed;
}

int IniFile::sectionStart(const QString& section) const
{
    for (size_t i = 0; i < m_lines.size(); ++i) {
        const Parsed parsed = parseLine(m_lines[i].text);
        if (parsed.kind == Kind::Section && parsed.name.compare(section, Qt::CaseInsensitive) == 0)
            return static_cast<int>(i) + 1;
    }
    return -1;
}

int IniFile::sectionEnd(int start) const
{
    int i = start;
    while (i < static_cast<int>(m_lines.size()) && parseLine(m_lines[i].text).kind != Kind::Section)
        ++i;
    return i;
}

int IniFile::findKey(int start, int end, const QString& key) const
{
    for (int i = start; i < end; ++i) {
        const Parsed parsed = parseLine(m_lines[i].text);
        if (parsed.kind == Kind::Key && parsed.name.compare(key, Qt::CaseInsensitive) == 0)
            return i;
    }
    return -1;
}

bool IniFile::hasSection(const QString& section) const
{
    return sectionStart(section) >= 0;
}

bool IniFile::hasKey(const QString& section, const QString& key) const
{
    const int start = sectionStart(section);
    return start >= 0 && findKey(start, sectionEnd(start), key) >= 0;
}

QStringList IniFile::sections() const
{
    QStringList names;
    for (const Line& line : m_lines) {
        const Parsed parsed = parseLine(line.text);
        if (parsed.kind == Kind::Section)
            names.append(parsed.name);
    }
    return names;
}

QStringList IniFile::keys(const QString& section) const
{
    QStringList names;
    const int start = sectionStart(section);
    if (start < 0)
        return names;
    const int end = sectionEnd(start);
    for (int i = start; i < end; ++i) {
        const Parsed parsed = parseLine(m_lines[i].text);
        if (parsed.kind == Kind::Key)
            names.append(parsed.name);
    }
    return names;
}

QString IniFile::readString(const QString& section, const QString& key,
                            const QString& defaultValue) const
{
    const int start = sectionStart(section);
    if (start < 0)
        return defaultValue;
    const int i = findKey(start, sectionEnd(start), key);
    return i < 0 ? defaultValue : parseLine(m_lines[i].text).value;
}

int IniFile::readInteger(const QString& section, const QString& key, int defaultValue) const
{
    int value = defaultValue;
    if (!ParseInteger(readString(section, key), value))
        return defaultValue;
    return value;
}

bool IniFile::readBool(const QString& section, const QString& key, bool defaultValue) const
{
    return readInteger(section, key, defaultValue ? 1 : 0) != 0;
}

void IniFile::switchToUtf8()
{
    for (Line& line : m_lines)
        line.text = DecodeWindows1252(line.text).toUtf8();
    m_utf8 = true;
}

void IniFile::writeString(const QString& section, const QString& key, const QString& value)
{
    // A line break inside a value would split the line and lose the rest of the value.
    QString flat = value;
    flat.replace(u'\r', u' ').replace(u'\n', u' ');
    if (!m_utf8 && !(FitsWindows1252(flat) && FitsWindows1252(key) && FitsWindows1252(section)))
        switchToUtf8();

    const QByteArray keyLine = encode(key) + '=' + encode(flat);
    const auto endLastLine = [this](int index) {
        if (index >= 0 && m_lines[index].end.isEmpty())
            m_lines[index].end = m_newline;
    };

    const int start = sectionStart(section);
    if (start < 0) {
        endLastLine(static_cast<int>(m_lines.size()) - 1);
        m_lines.push_back(Line{'[' + encode(section) + ']', m_newline});
        m_lines.push_back(Line{keyLine, m_newline});
        return;
    }
    const int end = sectionEnd(start);
    const int existing = findKey(start, end, key);
    if (existing >= 0) {
        m_lines[existing].text = keyLine;
        return;
    }
    // After the section's last line with content, so that blank lines and a comment heading
    // the next section stay with it.
    int insertAt = end;
    while (insertAt > start && IsBlankOrComment(m_lines[insertAt - 1].text))
        --insertAt;
    endLastLine(insertAt - 1);
    m_lines.insert(m_lines.begin() + insertAt, Line{keyLine, m_newline});
}

void IniFile::writeInteger(const QString& section, const QString& key, int value)
{
    writeString(section, key, QString::number(value));
}

void IniFile::writeBool(const QString& section, const QString& key, bool value)
{
    writeString(section, key, value ? QStringLiteral("1") : QStringLiteral("0"));
}

QByteArray IniFile::toBytes() const
{
    QByteArray bytes;
    for (const Line& line : m_lines) {
        bytes += line.text;
        bytes += line.end;
    }
    return bytes;
}

bool IniFile::save() const
{
    return saveAs(m_path);
}

bool IniFile::saveAs(const QString& path) const
{
    return WriteFileAtomically(path, toBytes());
}

} // namespace tilvo
