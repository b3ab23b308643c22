/*
 * CString: Zarninst's string, text in the active ANSI code page.
 *
 * Positions and lengths count bytes, as the ANSI API does, but every search,
 * trim and case change steps over double-byte characters whole: a trail byte
 * (0x40..0xFC in code page 932, so also '\\' or 'A'..'Z') is never taken for
 * a character of its own, and a match only starts on a character boundary.
 */
#ifndef ZARN_FRAMEWORK_ZSTRING_H
#define ZARN_FRAMEWORK_ZSTRING_H
#include <windows.h>

class CString {
public:
    CString();
    CString(LPCSTR text);
    CString(LPCSTR text, int length);   /* the first length bytes */
    CString(const CString &other);
    CString(CString &&other) noexcept;
    ~CString();

    CString &operator=(const CString &other);
    CString &operator=(CString &&other) noexcept;
    CString &operator=(LPCSTR text);
    CString &operator+=(const CString &other);
    CString &operator+=(LPCSTR text);
    CString &operator+=(char ch);

    operator LPCSTR() const { return m_data; }
    int GetLength() const { return m_length; }
    bool IsEmpty() const { return m_length == 0; }
    void Empty();
    char GetAt(int index) const { return m_data[index]; }

    /* Byte position of the first match at or after start, or -1. */
    int Find(char ch, int start = 0) const;
    int Find(LPCSTR sub, int start = 0) const;
    /* Byte position of the last character ch, or -1. */
    int ReverseFind(char ch) const;

    CString Left(int count) const;
    CString Mid(int first) const;
    CString Mid(int first, int count) const;
    CString Right(int count) const;

    /* Lower-cases whole characters by the code page's rules; a character
       whose lower case would not keep its byte length stays as it is. */
    CString &MakeLower();
    /* White space is blank, tab, line feed, vertical tab, form feed and
       carriage return. */
    CString &TrimLeft();
    CString &TrimRight();
    CString &Trim();
    /* Replaces every match of oldText, left to right; returns the count. */
    int Replace(LPCSTR oldText, LPCSTR newText);

    void Format(LPCSTR format, ...);

    /* Direct access for APIs that fill a buffer: room for minLength bytes
       and a terminator; ReleaseBuffer takes the length up to the first
       zero (or newLength when given). */
    LPSTR GetBuffer(int minLength);
    void ReleaseBuffer(int newLength = -1);

    /* Byte length of the character at index: 2 for a lead byte followed by
       a trail byte, 0 at the terminator, else 1. */
    static int CharLength(LPCSTR at);

private:
    char *m_data;
    int m_length;
    int m_capacity;   /* bytes usable before the terminator; 0 = shared empty */

    void Assign(LPCSTR text, int length);
    void Reserve(int length, bool keep);
};

bool operator==(const CString &a, const CString &b);
bool operator==(const CString &a, LPCSTR b);
bool operator!=(const CString &a, const CString &b);
bool operator!=(const CString &a, LPCSTR b);
CString operator+(const CString &a, const CString &b);
CString operator+(const CString &a, LPCSTR b);
CString operator+(LPCSTR a, const CString &b);

#endif
