/*
 * CString: heap text in the active ANSI code page, walked by whole
 * characters wherever a byte could be the trail of a double-byte character.
 */
#include "ZString.h"
#include <stdarg.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

static char g_emptyString[1];   /* shared by every empty string, never written */

static bool IsWhite(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

int CString::CharLength(LPCSTR at)
{
    if (!at[0])
        return 0;
    return (IsDBCSLeadByte((BYTE)at[0]) && at[1]) ? 2 : 1;
}

CString::CString() : m_data(g_emptyString), m_length(0), m_capacity(0) {}

CString::CString(LPCSTR text) : CString() { Assign(text, text ? (int)strlen(text) : 0); }

CString::CString(LPCSTR text, int length) : CString() { Assign(text, text && length > 0 ? length : 0); }

CString::CString(const CString &other) : CString() { Assign(other.m_data, other.m_length); }

CString::CString(CString &&other) noexcept
    : m_data(other.m_data), m_length(other.m_length), m_capacity(other.m_capacity)
{
    other.m_data = g_emptyString;
    other.m_length = other.m_capacity = 0;
}

CString::~CString()
{
    if (m_capacity)
        free(m_data);
}

CString &CString::operator=(const CString &other)
{
    if (this != &other)
        Assign(other.m_data, other.m_length);
    return *this;
}

CString &CString::operator=(CString &&other) noexcept
{
    if (this != &other) {
        if (m_capacity)
            free(m_data);
        m_data = other.m_data;
        m_length = other.m_length;
        m_capacity = other.m_capacity;
        other.m_data = g_emptyString;
        other.m_length = other.m_capacity = 0;
    }
    return *this;
}

CString &CString::operator=(LPCSTR text)
{
    /* text may point into this string's own buffer */
    CString copy(text);
    return *this = static_cast<CString &&>(copy);
}

CString &CString::operator+=(const CString &other)
{
    CString copy(other);   /* other may be *this */
    int n = m_length;
    Reserve(n + copy.m_length, true);
    memcpy(m_data + n, copy.m_data, copy.m_length + 1);
    m_length = n + copy.m_length;
    return *this;
}

CString &CString::operator+=(LPCSTR text) { return *this += CString(text); }

CString &CString::operator+=(char ch)
{
    char text[2] = {ch, 0};
    return *this += CString(text, 1);
}

void CString::Empty()
{
    if (m_capacity)
        free(m_data);
    m_data = g_emptyString;
    m_length = m_capacity = 0;
}

/* Makes room for length bytes and a terminator. */
void CString::Reserve(int length, bool keep)
{
    if (length <= m_capacity && m_capacity)
        return;
    int capacity = length < 15 ? 15 : length;
    char *data = (char *)malloc(capacity + 1);
    if (!data)
        abort();   /* out of memory: as the C++ run-time would, never run on */
    if (keep)
        memcpy(data, m_data, m_length + 1);
    else
        data[0] = 0;
    if (m_capacity)
        free(m_data);
    m_data = data;
    m_capacity = capacity;
}

void CString::Assign(LPCSTR text, int length)
{
    if (length <= 0) {
        Empty();
        return;
    }
    if (text >= m_data && text <= m_data + m_length && m_capacity) {
        CString copy(text, length);   /* a part of this string */
        *this = static_cast<CString &&>(copy);
        return;
    }
    Reserve(length, false);
    memcpy(m_data, text, length);
    m_data[length] = 0;
    m_length = length;
}

int CString::Find(char ch, int start) const
{
    if (start < 0)
        start = 0;
    for (int i = 0; i < m_length; ) {
        int n = CharLength(m_data + i);
        if (i >= start && n == 1 && m_data[i] == ch)
            return i;
        i += n;
    }
    return -1;
}

int CString::Find(LPCSTR sub, int start) const
{
    if (start < 0)
        start = 0;
    int subLength = (int)strlen(sub);
    for (int i = 0; i + subLength <= m_length; ) {
        if (i >= start && memcmp(m_data + i, sub, subLength) == 0)
            return i;
        if (i >= m_length)
            break;
        i += CharLength(m_data + i);
    }
    return -1;
}

int CString::ReverseFind(char ch) const
{
    int found = -1;
    for (int i = 0; i < m_length; ) {
        int n = CharLength(m_data + i);
        if (n == 1 && m_data[i] == ch)
            found = i;
        i += n;
    }
    return found;
}

CString CString::Left(int count) const
{
    if (count < 0)
        count = 0;
    return CString(m_data, count < m_length ? count : m_length);
}

CString CString::Mid(int first) const { return Mid(first, m_length); }

CString CString::Mid(int first, int count) const
{
    if (first < 0)
        first = 0;
    if (first > m_length)
        first = m_length;
    if (count < 0)
        count = 0;
    if (count > m_length - first)
        count = m_length - first;
    return CString(m_data + first, count);
}

CString CString::Right(int count) const
{
    if (count < 0)
        count = 0;
    if (count > m_length)
        count = m_length;
    return CString(m_data + m_length - count, count);
}

CString &CString::MakeLower()
{
    if (!m_length)
        return *this;
    for (int i = 0; i < m_length; ) {
        int n = CharLength(m_data + i);
        BYTE b = (BYTE)m_data[i];
        if (b < 0x80) {
            if (b >= 'A' && b <= 'Z')
                m_data[i] = (char)(b + ('a' - 'A'));
        } else {
            /* One character through UTF-16 and back; kept only when its
               lower case has the same byte length, so that positions found
               in a lowered copy fit the original text. */
            WCHAR wide[2];
            int w = MultiByteToWideChar(CP_ACP, 0, m_data + i, n, wide, 2);
            if (w > 0) {
                WCHAR lower[2] = {wide[0], w > 1 ? wide[1] : (WCHAR)0};
                CharLowerBuffW(lower, w);
                if (memcmp(lower, wide, w * sizeof(WCHAR)) != 0) {
                    char bytes[8];
                    BOOL defaulted = FALSE;
                    int m = WideCharToMultiByte(CP_ACP, 0, lower, w, bytes, sizeof bytes, NULL, &defaulted);
                    if (m == n && !defaulted)
                        memcpy(m_data + i, bytes, n);
                }
            }
        }
        i += n;
    }
    return *this;
}

CString &CString::TrimLeft()
{
    int i = 0;
    while (i < m_length && IsWhite(m_data[i]))   /* white space is single-byte */
        i++;
    if (i)
        Assign(m_data + i, m_length - i);
    return *this;
}

CString &CString::TrimRight()
{
    /* Walk forward: a trail byte at the end is never white space. */
    int end = 0;
    for (int i = 0; i < m_length; ) {
        int n = CharLength(m_data + i);
        if (n != 1 || !IsWhite(m_data[i]))
            end = i + n;
        i += n;
    }
    if (end < m_length) {
        m_data[end] = 0;
        m_length = end;
    }
    return *this;
}

CString &CString::Trim() { return TrimRight().TrimLeft(); }

int CString::Replace(LPCSTR oldText, LPCSTR newText)
{
    int oldLength = (int)strlen(oldText);
    if (!oldLength || !m_length)
        return 0;
    CString result;
    int count = 0, copied = 0;
    for (int at = Find(oldText); at >= 0; at = Find(oldText, at + oldLength)) {
        result += CString(m_data + copied, at - copied);
        result += newText;
        copied = at + oldLength;
        count++;
    }
    if (count) {
        result += CString(m_data + copied, m_length - copied);
        *this = static_cast<CString &&>(result);
    }
    return count;
}

void CString::Format(LPCSTR format, ...)
{
    va_list args, again;
    va_start(args, format);
    va_copy(again, args);
    int length = vsnprintf(NULL, 0, format, args);
    va_end(args);
    CString result;
    if (length > 0) {
        result.Reserve(length, false);
        vsnprintf(result.m_data, length + 1, format, again);
        result.m_length = length;
    }
    va_end(again);
    *this = static_cast<CString &&>(result);
}

LPSTR CString::GetBuffer(int minLength)
{
    if (minLength < m_length)
        minLength = m_length;
    Reserve(minLength, true);
    return m_data;
}

void CString::ReleaseBuffer(int newLength)
{
    if (!m_capacity)
        return;
    if (newLength < 0 || newLength > m_capacity)
        newLength = (int)strnlen(m_data, m_capacity);
    m_data[newLength] = 0;
    m_length = newLength;
}

bool operator==(const CString &a, const CString &b)
{
    return a.GetLength() == b.GetLength() && memcmp((LPCSTR)a, (LPCSTR)b, a.GetLength()) == 0;
}
bool operator==(const CString &a, LPCSTR b) { return strcmp(a, b) == 0; }
bool operator!=(const CString &a, const CString &b) { return !(a == b); }
bool operator!=(const CString &a, LPCSTR b) { return !(a == b); }

CString operator+(const CString &a, const CString &b)
{
    CString s(a);
    s += b;
    return s;
}
CString operator+(const CString &a, LPCSTR b)
{
    CString s(a);
    s += b;
    return s;
}
CString operator+(LPCSTR a, const CString &b)
{
    CString s(a);
    s += b;
    return s;
}
