#include "shell/base/TextRecords.h"

#include <cmath>
#include <fstream>
#include <sstream>

#include "shell/base/NumberText.h"
#include "shell/base/RunStopped.h"

namespace vortel {

namespace {
constexpr std::size_t FlushAt = 1 << 20;
}

void TextWriter::Put(std::string_view s) {
    m_buffer.append(s);
    for (char c : s) {
        if (c == '\n')
            m_column = 1;
        else
            ++m_column;
    }
}

TextWriter& TextWriter::Text(std::string_view text) {
    Put(text);
    return *this;
}

TextWriter& TextWriter::Number(double x) {
    const std::size_t before = m_buffer.size();
    if (!(x < 0)) m_buffer.push_back(' ');
    AppendNumberText(m_buffer, x);
    m_buffer.push_back(' ');
    m_column += static_cast<int>(m_buffer.size() - before);
    return *this;
}

TextWriter& TextWriter::Number(std::int64_t x) {
    const std::size_t before = m_buffer.size();
    if (x >= 0) m_buffer.push_back(' ');
    AppendNumberText(m_buffer, x);
    m_buffer.push_back(' ');
    m_column += static_cast<int>(m_buffer.size() - before);
    return *this;
}

TextWriter& TextWriter::Variant(const vortel::Variant& v) {
    return v.IsNumber ? Number(v.Number) : Text(v.Text);
}

TextWriter& TextWriter::Tab(int n) {
    if (n < 1) n = 1;
    if (m_column > n) {
        m_buffer.append("\r\n");
        m_column = 1;
    }
    m_buffer.append(static_cast<std::size_t>(n - m_column), ' ');
    m_column = n;
    return *this;
}

void TextWriter::EndLine() {
    m_buffer.append("\r\n");
    m_column = 1;
    if (m_buffer.size() >= FlushAt) Flush();
}

std::string WriteFailure(const std::string& fileName) {
    return "Cannot write file \"" + fileName + "\" (is the disk full or write-protected?).";
}

bool TextWriter::WriteOut() noexcept {
    if (m_buffer.empty()) return true;
    m_out.write(m_buffer.data(), static_cast<std::streamsize>(m_buffer.size()));
    m_buffer.clear();
    return !m_out.fail();
}

void TextWriter::Flush() {
    // Stopping at the first failed write, not at the end, spares the user a long run whose
    // output cannot be kept.
    if (!WriteOut()) throw RunStopped(WriteFailure(m_fileName.empty() ? "output" : m_fileName));
}

void TextWriter::WriteItem(std::string_view text, bool& first) {
    Separator(first);
    m_buffer.push_back('"');
    m_buffer.append(text);
    m_buffer.push_back('"');
}

void TextWriter::WriteItem(double x, bool& first) {
    Separator(first);
    AppendNumberText(m_buffer, x);
}

void TextWriter::WriteItem(std::int64_t x, bool& first) {
    Separator(first);
    AppendNumberText(m_buffer, x);
}

void TextWriter::WriteItem(const vortel::Variant& v, bool& first) {
    if (v.IsNumber)
        WriteItem(v.Number, first);
    else
        WriteItem(std::string_view(v.Text), first);
}

// --- InputFields ------------------------------------------------------------------------------

void RefuseUnreadable(const std::filesystem::path& path) {
    std::error_code ec;
    if (path.empty()) throw RunStopped("No file was chosen.");
    if (std::filesystem::is_directory(path, ec))
        throw RunStopped("Cannot read \"" + path.string() + "\": it is a folder, not a file.");
    // A device or a pipe would be read without end; only plain files hold data.
    if (std::filesystem::exists(path, ec) && !std::filesystem::is_regular_file(path, ec))
        throw RunStopped("Cannot read \"" + path.string() + "\": it is not a regular file.");
}

InputFields InputFields::Open(const std::filesystem::path& path) {
    std::error_code ec;
    RefuseUnreadable(path);
    std::ifstream in(path, std::ios::binary);
    if (!in) throw RunStopped("Cannot open file \"" + path.string() + "\".");
    // Read in one piece into a string of the file's size: a stream copied through a string
    // buffer costs more than the parsing of a file of millions of values.
    std::string content;
    const auto size = std::filesystem::file_size(path, ec);
    if (!ec) {
        content.resize(static_cast<std::size_t>(size));
        in.read(content.data(), static_cast<std::streamsize>(content.size()));
        content.resize(static_cast<std::size_t>(in.gcount()));
    }
    // Whatever the size did not tell (a file that grew meanwhile) is read on to its end.
    if (!in.bad() && !in.eof()) {
        in.clear();
        char buffer[1 << 16];
        while (in.read(buffer, sizeof buffer) || in.gcount() > 0)
            content.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) throw RunStopped("Cannot read file \"" + path.string() + "\".");
    return InputFields(std::move(content), path.string());
}

InputFields::InputFields(std::string content, std::string displayName)
    : m_content(std::move(content)), m_name(std::move(displayName)) {}

namespace {
bool IsBlank(char c) { return c == ' ' || c == '\t'; }
bool IsLineEnd(char c) { return c == '\n' || c == '\r'; }
}  // namespace

bool InputFields::AtEnd() const {
    for (std::size_t i = m_pos; i < m_content.size(); ++i) {
        const char c = m_content[i];
        if (!IsBlank(c) && !IsLineEnd(c) && c != '\x1a') return false;
    }
    return true;
}

namespace {
// "bootstrap value 17", or `what` alone without a number.
std::string Label(std::string_view what, std::int64_t number) {
    return number < 0 ? std::string(what) : std::string(what) + " " + std::to_string(number);
}
}  // namespace

std::string_view InputFields::Next(std::string_view what, bool& quoted, std::int64_t number) {
    const std::string& s = m_content;
    std::size_t i = m_pos;
    // Blanks and empty lines before a field are not fields of their own.
    while (i < s.size() && (IsBlank(s[i]) || IsLineEnd(s[i]))) ++i;
    if (i >= s.size() || s[i] == '\x1a') {
        ++m_fieldNumber;
        m_pos = s.size();
        Fail(Label(what, number), "the end of the file");
    }
    ++m_fieldNumber;
    std::string_view field;
    quoted = s[i] == '"';
    if (quoted) {
        const std::size_t close = s.find('"', i + 1);
        const std::size_t end = close == std::string::npos ? s.size() : close;
        field = std::string_view(s).substr(i + 1, end - i - 1);
        i = close == std::string::npos ? s.size() : close + 1;
        // Anything after the closing quote up to the delimiter is not part of the field.
        while (i < s.size() && s[i] != ',' && !IsLineEnd(s[i])) ++i;
    } else {
        const std::size_t start = i;
        while (i < s.size() && s[i] != ',' && !IsLineEnd(s[i])) ++i;
        std::size_t end = i;
        while (end > start && IsBlank(s[end - 1])) --end;
        field = std::string_view(s).substr(start, end - start);
    }
    // A comma is consumed here; line ends are skipped before the next field, so a comma at the
    // end of a line and the line end make one separator.
    if (i < s.size() && s[i] == ',') ++i;
    m_pos = i;
    return field;
}

void InputFields::Fail(std::string_view what, std::string_view found) const {
    std::string shown(found.substr(0, 40));
    if (found.size() > 40) shown += "...";
    throw RunStopped("File \"" + m_name + "\", field " + std::to_string(m_fieldNumber) + " (" +
                     std::string(what) + "): found " +
                     (found == "the end of the file" ? std::string(found) : "\"" + shown + "\"") +
                     ".");
}

std::string InputFields::ReadText(std::string_view what) {
    bool quoted = false;
    return std::string(Next(what, quoted));
}

double InputFields::ReadDouble(std::string_view what) {
    bool quoted = false;
    const std::string_view field = Next(what, quoted);
    double value = 0;
    if (!ParseStrictNumber(field, value)) Fail(std::string(what) + ", a number", field);
    return value;
}

double InputFields::ReadDouble(std::string_view what, std::int64_t number) {
    bool quoted = false;
    const std::string_view field = Next(what, quoted, number);
    double value = 0;
    if (!ParseStrictNumber(field, value)) Fail(Label(what, number) + ", a number", field);
    return value;
}

std::int32_t InputFields::ReadInt32(std::string_view what) {
    bool quoted = false;
    const std::string_view field = Next(what, quoted);
    double value = 0;
    if (!ParseStrictNumber(field, value)) Fail(std::string(what) + ", a whole number", field);
    const double r = RoundHalfEven(value);
    if (!(r >= -2147483648.0 && r <= 2147483647.0))
        Fail(std::string(what) + ", a 32-bit whole number", field);
    return static_cast<std::int32_t>(r);
}

vortel::Variant InputFields::ReadAny(std::string_view what) {
    bool quoted = false;
    const std::string_view field = Next(what, quoted);
    vortel::Variant v;
    v.Text = std::string(field);
    double value = 0;
    if (!quoted && ParseStrictNumber(field, value)) {
        v.IsNumber = true;
        v.Number = value;
    }
    return v;
}

}  // namespace vortel
