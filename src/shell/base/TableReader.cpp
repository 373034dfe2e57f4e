#include "shell/base/TableReader.h"

#include <cstring>

#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"
#include "shell/base/TextRecords.h"

namespace vortel {

namespace {

// Read at a time from the file; rows are a few dozen bytes, so one block holds many thousands.
constexpr std::size_t BlockBytes = std::size_t{4} << 20;

bool IsBlank(char c) { return c == ' ' || c == '\t'; }

}  // namespace

TableReader TableReader::Open(const std::filesystem::path& path) {
    RefuseUnreadable(path);
    std::FILE* file = std::fopen(path.string().c_str(), "rb");
    if (!file) throw RunStopped("Cannot open file \"" + path.string() + "\".");
    return TableReader(file, path.string());
}

TableReader::TableReader(std::FILE* file, std::string displayName)
    : m_file(file), m_name(std::move(displayName)) {}

TableReader::TableReader(std::string content, std::string displayName)
    : m_name(std::move(displayName)), m_buffer(std::move(content)), m_atEnd(true) {}

TableReader::~TableReader() {
    if (m_file) std::fclose(m_file);
}

TableReader::TableReader(TableReader&& other) noexcept
    : m_file(other.m_file),
      m_name(std::move(other.m_name)),
      m_buffer(std::move(other.m_buffer)),
      m_pos(other.m_pos),
      m_atEnd(other.m_atEnd),
      m_started(other.m_started),
      m_separator(other.m_separator),
      m_lineEnd(other.m_lineEnd),
      m_row(other.m_row) {
    other.m_file = nullptr;
}

bool TableReader::Refill() {
    if (m_atEnd) return false;
    const std::size_t held = m_buffer.size();
    m_buffer.resize(held + BlockBytes);
    const std::size_t got = std::fread(m_buffer.data() + held, 1, BlockBytes, m_file);
    m_buffer.resize(held + got);
    if (got == 0) {
        if (std::ferror(m_file)) throw RunStopped("Cannot read file \"" + m_name + "\".");
        m_atEnd = true;
    }
    return got > 0;
}

void TableReader::ChooseSeparator() {
    // The first row decides, quotes left aside: a header names its columns, so it holds one
    // separator fewer than it has columns, and a name seldom holds the other sign.
    std::size_t commas = 0, semicolons = 0;
    bool quoted = false;
    const std::size_t end = std::min(m_buffer.size(), m_pos + MostRowBytes);
    for (std::size_t i = m_pos; i < end; ++i) {
        const char c = m_buffer[i];
        if (c == '"') quoted = !quoted;
        if (quoted) continue;
        if (c == ',') ++commas;
        if (c == ';') ++semicolons;
        if (c == '\n') break;
        if (c == '\r') {
            // Lines that end in CR alone (older spreadsheets on some systems).
            if (i + 1 < m_buffer.size() && m_buffer[i + 1] != '\n') m_lineEnd = '\r';
            break;
        }
    }
    if (semicolons > commas) m_separator = ';';
}

std::string TableReader::Where(std::int64_t row, std::size_t column,
                               std::string_view header) const {
    std::string where = "Table \"" + m_name + "\", row " + Text(row);
    if (column > 0) where += ", column " + Text(static_cast<std::int64_t>(column));
    if (column > 0 && !header.empty()) where += " (" + std::string(header) + ")";
    return where + ": ";
}

void TableReader::Fail(std::size_t column, const std::string& what) const {
    throw RunStopped(Where(m_row, column) + what);
}

bool TableReader::Blank() const {
    for (const TableCell& cell : m_cells)
        if (!TrimmedCell(cell.Text).empty()) return false;
    return true;
}

TableReader::Parsed TableReader::ParseRow(std::size_t start) {
    m_spans.clear();
    m_unquoted.clear();
    const char* b = m_buffer.data();
    const std::size_t end = m_buffer.size();
    const char sep = m_separator;
    const char eol = m_lineEnd;
    std::size_t p = start;
    // The line end after p, found once per line: most rows are one line of unquoted cells.
    std::size_t lineEnd = 0;
    bool lineEndFound = false;
    bool lineEndKnown = false;
    for (;;) {
        const std::size_t column = m_spans.size() + 1;
        if (p < end && b[p] == '"') {
            const std::size_t from = m_unquoted.size();
            std::size_t q = p + 1;
            for (;;) {
                const void* hit = q < end ? std::memchr(b + q, '"', end - q) : nullptr;
                if (!hit) {
                    if (!m_atEnd) return Parsed::NeedMore;
                    Fail(column,
                         "the quote that opens this cell is never closed (a quote inside a "
                         "quoted cell is written twice: \"\").");
                }
                const std::size_t close =
                    static_cast<std::size_t>(static_cast<const char*>(hit) - b);
                m_unquoted.append(b + q, close - q);
                if (close + 1 >= end && !m_atEnd) return Parsed::NeedMore;
                if (close + 1 < end && b[close + 1] == '"') {
                    m_unquoted.push_back('"');
                    q = close + 2;
                    continue;
                }
                p = close + 1;
                break;
            }
            m_spans.push_back({from, m_unquoted.size() - from, true});
            while (p < end && IsBlank(b[p])) ++p;
            if (p >= end && !m_atEnd) return Parsed::NeedMore;
            if (p < end && b[p] != sep && b[p] != '\n' && b[p] != '\r') {
                Fail(column,
                     "text follows the closing quote of the cell (a quote inside a quoted cell "
                     "is written twice: \"\").");
            }
            lineEndKnown = lineEndKnown && lineEnd >= p;
        } else {
            if (!lineEndKnown) {
                const void* hit = p < end ? std::memchr(b + p, eol, end - p) : nullptr;
                lineEndFound = hit != nullptr;
                lineEnd = hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - b) : end;
                lineEndKnown = true;
            }
            const void* hit = p < lineEnd ? std::memchr(b + p, sep, lineEnd - p) : nullptr;
            const std::size_t q =
                hit ? static_cast<std::size_t>(static_cast<const char*>(hit) - b) : lineEnd;
            std::size_t cellEnd = q;
            if (q == lineEnd) {
                if (!lineEndFound && !m_atEnd) return Parsed::NeedMore;
                if (eol == '\n' && cellEnd > p && b[cellEnd - 1] == '\r') --cellEnd;
            }
            m_spans.push_back({p, cellEnd - p, false});
            p = q;
        }
        if (p < end && b[p] == sep) {
            ++p;
            continue;
        }
        // The row ends here: at CR LF, LF, CR, or the end of the file.
        if (p < end) {
            if (b[p] == '\r') {
                ++p;
                if (p < end && b[p] == '\n')
                    ++p;
                else if (p >= end && !m_atEnd)
                    return Parsed::NeedMore;
            } else {
                ++p;
            }
        }
        m_pos = p;
        return Parsed::Row;
    }
}

bool TableReader::Next() {
    if (!m_started) {
        m_started = true;
        while (m_buffer.size() < 3 && Refill()) {
        }
        if (m_buffer.compare(0, 3, "\xEF\xBB\xBF") == 0) m_pos = 3;
        ChooseSeparator();
    }
    ++m_row;
    for (;;) {
        if (m_pos >= m_buffer.size()) {
            m_buffer.clear();
            m_pos = 0;
            if (!Refill()) {
                --m_row;
                m_cells.clear();
                return false;
            }
        }
        const std::size_t start = m_pos;
        const Parsed parsed = ParseRow(start);
        const std::size_t length = (parsed == Parsed::Row ? m_pos : m_buffer.size()) - start;
        if (length > MostRowBytes) {
            // The cell being read when the limit was passed: the last of a finished row.
            Fail(m_spans.size() + (parsed == Parsed::Row ? 0 : 1),
                 "the row is longer than " + Text(std::int64_t(MostRowBytes)) +
                     " bytes, the most a table row may hold. Rows of a table "
                     "are short; is this file a table?");
        }
        if (parsed == Parsed::Row) break;
        // The row goes on past what is held: keep it, drop what lies before it, read on.
        m_buffer.erase(0, start);
        m_pos = 0;
        Refill();
    }
    m_cells.clear();
    for (const Span& s : m_spans) {
        const char* base = s.Quoted ? m_unquoted.data() : m_buffer.data();
        m_cells.push_back({std::string_view(base + s.Start, s.Length), s.Quoted});
    }
    return true;
}

bool IsTableFile(const std::string& path) {
    return path.size() >= 4 && LowerCase(path.substr(path.size() - 4)) == ".csv";
}

std::string_view TrimmedCell(std::string_view text) {
    while (!text.empty() && IsBlank(text.front())) text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back())) text.remove_suffix(1);
    return text;
}

std::string QuotedCell(std::string_view text) {
    std::string shown(text.substr(0, 40));
    if (text.size() > 40) shown += "...";
    return "\"" + shown + "\"";
}

std::string LowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
    return lower;
}

bool CellNumber(std::string_view text, bool decimalComma, double& value) {
    text = TrimmedCell(text);
    if (!decimalComma) return ParseStrictNumber(text, value);
    if (text.find('.') != std::string_view::npos || text.size() > 64) return false;
    char normal[64];
    for (std::size_t i = 0; i < text.size(); ++i) normal[i] = text[i] == ',' ? '.' : text[i];
    return ParseStrictNumber(std::string_view(normal, text.size()), value);
}

}  // namespace vortel
