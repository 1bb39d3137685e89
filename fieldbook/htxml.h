// Reader of one tagged text line: a settings record or a record-file element
// such as
//   <名称 属性1="值" 属性2="12.5m" 加密数据="..." />
// A line end (and other whitespace) before "<" is allowed. Names and values
// are GBK; values are the text between the double quotes.
//
// Broken lines are read as far as they make sense and never overrun: a value
// without its closing quote runs to the end of the line; a missing ">" is no
// error; an attribute name with no "=" or no quoted value is skipped. Only the
// first kLine - 2 bytes of a line and its first kMaxAttrs attributes count.
#pragma once

#include <stddef.h>

class htXml {
  public:
    enum { kLine = 1280, kMaxAttrs = 48 };

    htXml();

    // Parses a line, replacing what was parsed before. Returns the number of
    // attributes found (0 also for null or a line with no "<").
    int ParseLine(const char* line);

    // Tag name of the parsed line ("" when none).
    const char* TagName() const { return buf + tag; }
    int Count() const { return count; }

    // Value of the first attribute whose name begins with `name`, else def.
    // The text stays valid until the next ParseLine.
    const char* GetValue(const char* name, const char* def) const;

    // Copies that value (or def, or "" for a null def) into dest, which holds
    // `size` bytes; a longer value is cut at a whole GBK character. Returns
    // dest.
    char* GetStringValue(char* dest, const char* name, const char* def, size_t size) const;
    template <size_t N>
    char* GetStringValue(char (&dest)[N], const char* name, const char* def) const {
        return GetStringValue(dest, name, def, N);
    }

  private:
    char buf[kLine];
    short tag;
    short names[kMaxAttrs];
    short values[kMaxAttrs];
    int count;
};
