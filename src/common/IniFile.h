// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

namespace tilvo {

// An INI file read and written the way the platform's profile functions treat it:
// section and key names compare case-insensitively, the first of duplicated sections or
// keys wins, a missing key reads as its default, and a value is the text after "=" with
// the surrounding blanks (and one pair of enclosing quotes) removed, never unescaped.
//
// The file is held as its original lines, bytes and line ends included. Writing a key changes
// that one line (or adds one), so comments, unknown keys, garbage lines and bytes that are
// not valid text all come back unchanged on save.
//
// Files are Windows-1252, except a file that is already UTF-8 (see DecodeText). A value
// that Windows-1252 cannot hold turns the file into UTF-8 rather than losing characters.
class IniFile
{
public:
    // Reads the file; a missing or unreadable file gives an empty one.
    explicit IniFile(const QString& path);
    static IniFile fromBytes(const QByteArray& bytes, const QString& path = QString());

    const QString& path() const { return m_path; }
    // Whether the file was there when it was read.
    bool existed() const { return m_existed; }

    bool hasSection(const QString& section) const;
    bool hasKey(const QString& section, const QString& key) const;
    QStringList sections() const;
    QStringList keys(const QString& section) const;

    QString readString(const QString& section, const QString& key,
                       const QString& defaultValue = QString()) const;
    // Decimal, or hexadecimal after "0x" or "$"; anything else, or a number out of the
    // 32-bit range, gives the default.
    int readInteger(const QString& section, const QString& key, int defaultValue) const;
    // True for any integer other than 0.
    bool readBool(const QString& section, const QString& key, bool defaultValue) const;

    void writeString(const QString& section, const QString& key, const QString& value);
    void writeInteger(const QString& section, const QString& key, int value);
    // Written as 1 or 0.
    void writeBool(const QString& section, const QString& key, bool value);

    QByteArray toBytes() const;
    // Replaces the file in one step (never half-written); false when it cannot.
    bool save() const;
    bool saveAs(const QString& path) const;

private:
    IniFile() = default;
    void parse(const QByteArray& bytes);

    struct Line
    {
        QByteArray text;
        QByteArray end; // "\r\n", "\n", "\r" or empty for a last line without one
    };
    enum class Kind
    {
        Other,
        Section,
        Key
    };
    struct Parsed
    {
        Kind kind = Kind::Other;
        QString name;  // section or key name
        QString value; // key value
    };

    Parsed parseLine(const QByteArray& text) const;
    QString decode(const QByteArray& bytes) const;
    QByteArray encode(const QString& text) const;
    // [first, end) of the lines after the section's header, -1 when the section is missing.
    int sectionStart(const QString& section) const;
    int sectionEnd(int start) const;
    int findKey(int start, int end, const QString& key) const;
    void switchToUtf8();

    QString m_path;
    bool m_existed = false;
    bool m_utf8 = false;
    QByteArray m_newline = "\r\n";
    std::vector<Line> m_lines;
};

} // namespace tilvo
