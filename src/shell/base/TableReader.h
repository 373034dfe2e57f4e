// Reads a CSV table row by row as RFC 4180 lays it out: cells separated by commas (or by
// semicolons, as spreadsheets write them where the comma is the decimal sign), a cell in double
// quotes may hold separators, line breaks and doubled quotes, rows end in CR LF or LF, and a
// UTF-8 byte-order mark before the first row is skipped.
#pragma once

#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <memory>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace vortel {

struct TableCell {
    std::string_view Text;  // without its quotes, doubled quotes made single
    bool Quoted = false;
};

class TableReader {
public:
    // The longest row read: rows of a table are short, and a file that is one endless line is no
    // table, so it is refused at this length rather than held in memory whole.
    static constexpr std::size_t MostRowBytes = std::size_t{1} << 20;

    // Opens the file; one that cannot be opened stops the command. The file is read in blocks,
    // so memory stays near MostRowBytes whatever its size.
    static TableReader Open(const std::filesystem::path& path);
    // A table held in memory (tests, fuzzing), named `displayName` in messages.
    TableReader(std::string content, std::string displayName);
    ~TableReader();
    TableReader(TableReader&&) noexcept;
    TableReader& operator=(TableReader&&) = delete;

    // Reads the next row; false at the end of the table. A quote left open at the end of the
    // file, text after a closing quote and a row longer than MostRowBytes stop the command,
    // naming the file, the row and the column.
    bool Next();
    // The cells of the row read last; valid until the next call.
    std::span<const TableCell> Cells() const { return m_cells; }
    // Number of the row read last, counting the header as row 1 and every line break outside
    // quotes as the end of a row (so empty lines count, as a spreadsheet shows them).
    std::int64_t Row() const { return m_row; }
    // True when no cell of the row holds more than blanks.
    bool Blank() const;

    // ';' when the first row holds more semicolons than commas outside quotes, else ','.
    char Separator() const { return m_separator; }
    // Numbers of a table separated by semicolons are written with a decimal comma.
    bool DecimalComma() const { return m_separator == ';'; }
    const std::string& Name() const { return m_name; }

    // "Table "NAME", row R, column C (HEADER): " for a message about one cell; `header` may be
    // empty, and column 0 leaves out the column and its header (a message about a whole row).
    std::string Where(std::int64_t row, std::size_t column, std::string_view header = {}) const;

private:
    TableReader(std::FILE* file, std::string displayName);
    enum class Parsed { Row, NeedMore };
    Parsed ParseRow(std::size_t start);
    // Reads more of the file behind what is held; false at its end.
    bool Refill();
    void ChooseSeparator();
    [[noreturn]] void Fail(std::size_t column, const std::string& what) const;

    std::FILE* m_file = nullptr;
    std::string m_name;
    std::string m_buffer;
    std::size_t m_pos = 0;  // start of the next row in m_buffer
    bool m_atEnd = false;   // nothing more to read from the file
    bool m_started = false;
    char m_separator = ',';
    char m_lineEnd = '\n';  // '\r' for a file whose lines end in CR alone
    std::int64_t m_row = 0;
    std::vector<TableCell> m_cells;
    std::string m_unquoted;  // the quoted cells' texts, undoubled
    struct Span {
        std::size_t Start, Length;
        bool Quoted;
    };
    std::vector<Span> m_spans;
};

// A file is read as a table when its name ends in ".csv" (any case).
bool IsTableFile(const std::string& path);

// A cell's text less blanks and tabs at either end.
std::string_view TrimmedCell(std::string_view text);
// The text in double quotes for a message, cut after 40 characters.
std::string QuotedCell(std::string_view text);
// The text in lower case (ASCII), to match column names in any case.
std::string LowerCase(std::string_view text);

// A cell that spells a number and nothing else, read exactly as a number of a treatment file is
// read; with `decimalComma`, its comma is the decimal sign and a point is refused (it may be a
// thousands separator). Blanks at either end are ignored.
bool CellNumber(std::string_view text, bool decimalComma, double& value);

}  // namespace vortel
