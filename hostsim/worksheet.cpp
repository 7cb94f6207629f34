// Worksheet files: every block's parameter record saved and loaded through
// its type's parameter schema (MODMSG_GET_SCHEMA), as text a person can read and
// diff:
//
//   worksheet 1
//
//   block
//     class = "Q7018_I_MODULE"
//     name = "Q7018-I-00"
//     description = "ND6018 Thermocouple"
//     inputs = 0
//     outputs = 8
//     input 0 = square 0 5 2 every 0.5      (what feeds an input channel)
//     field Version int = 1
//     field Channel_Name[0] string[24] = "Vin 0"
//     ...
//   end
//
// Texts are quoted; a quote, a backslash and every byte outside printable
// ASCII are written as \", \\ and \xHH. Indexed schema rows ("Name[0..15]",
// or a type "WORD[0..3]") are written one element a line.
#include "hostsim/internal.h"

#include <ctype.h>
#include <errno.h>
#include <math.h>
#include <stdint.h>
#include <stdio.h>
#include <stdlib.h>
#include <string.h>

#include <fstream>
#include <map>
#include <set>
#include <sstream>

namespace hostsim {

namespace {

const char kHeader[] = "worksheet 1";
const int kMaxSchemaRows = 4096;

enum ElementKind { EK_INT, EK_UINT, EK_FLOAT, EK_DOUBLE, EK_STRING };

struct ElementType {
    std::string name; // as written in the file: "int", "WORD", "string[24]"
    ElementKind kind;
    int size;
    long long min, max; // integer kinds
};

// One element of the record as the file names it.
struct Element {
    std::string name; // "Version", "Channel_Name[3]"
    ElementType type;
    int offset;
};

int ParseElementType(const std::string& name, ElementType* t) {
    struct Fixed {
        const char* name;
        ElementKind kind;
        int size;
        long long min, max;
    };
    static const Fixed fixed[] = {
        {"int", EK_INT, 4, -2147483648LL, 2147483647LL},
        {"BOOL", EK_INT, 4, -2147483648LL, 2147483647LL},
        {"DWORD", EK_UINT, 4, 0, 4294967295LL},
        {"float", EK_FLOAT, 4, 0, 0},
        {"WORD", EK_UINT, 2, 0, 65535},
        {"short", EK_INT, 2, -32768, 32767},
        {"double", EK_DOUBLE, 8, 0, 0},
    };
    for (const Fixed& f : fixed) {
        if (name == f.name) {
            *t = {name, f.kind, f.size, f.min, f.max};
            return 1;
        }
    }
    unsigned n = 0;
    if (name.compare(0, 7, "string[") == 0 && sscanf(name.c_str(), "string[%u]", &n) == 1 &&
        n > 0 && n <= 4096 && name == "string[" + std::to_string(n) + "]") {
        *t = {name, EK_STRING, static_cast<int>(n), 0, 0};
        return 1;
    }
    return 0;
}

// Splits "Name[a..b]" into "Name", a and b; 0 when the text has no range.
int SplitRange(const std::string& text, std::string* base, int* first, int* last) {
    size_t open = text.find('[');
    if (open == std::string::npos || text.empty() || text.back() != ']') return 0;
    std::string inner = text.substr(open + 1, text.size() - open - 2);
    size_t sep = inner.find("..");
    if (sep == std::string::npos) return 0;
    std::string sa = inner.substr(0, sep), sb = inner.substr(sep + 2);
    if (sa.empty() || sb.empty() || sa.find_first_not_of("0123456789") != std::string::npos ||
        sb.find_first_not_of("0123456789") != std::string::npos || sa.size() > 4 || sb.size() > 4) {
        return 0;
    }
    int a = atoi(sa.c_str());
    int b = atoi(sb.c_str());
    if (b < a) return 0;
    *base = text.substr(0, open);
    *first = a;
    *last = b;
    return 1;
}

// The elements of a block's record by its schema; 0 and a message when the
// schema cannot be followed.
int SchemaElements(Block* block, std::vector<Element>* out, std::string* error) {
    out->clear();
    int answer = SendClassMessage(block, MODMSG_GET_SCHEMA, 0, 0);
    const ParamSchemaEntry* rows =
        reinterpret_cast<const ParamSchemaEntry*>(static_cast<uintptr_t>(answer));
    if (rows == nullptr) return 1; // a type without a schema saves no fields
    const int size = block->moduleClass->record.uParamSize;
    std::multimap<std::string, Element> names;
    for (int r = 0;; r++) {
        char where[160];
        snprintf(where, sizeof where, "class %s, schema row %d",
                 block->moduleClass->className.c_str(), r);
        if (r >= kMaxSchemaRows) {
            *error = std::string(where) + ": no end row";
            return 0;
        }
        const ParamSchemaEntry& row = rows[r];
        if (row.name == nullptr) break;
        if (row.type == nullptr) {
            *error = std::string(where) + ": no type";
            return 0;
        }
        std::string name = row.name, type = row.type;
        std::string base = name, typeBase = type;
        int first = 0, last = 0, count = 1;
        bool nameRange = SplitRange(name, &base, &first, &last) != 0;
        int tFirst = 0, tLast = 0;
        bool typeRange =
            type.compare(0, 7, "string[") != 0 && SplitRange(type, &typeBase, &tFirst, &tLast);
        if (nameRange && typeRange) {
            *error = std::string(where) + ": two index ranges";
            return 0;
        }
        if (typeRange) {
            first = tFirst;
            last = tLast;
        }
        if (nameRange || typeRange) count = last - first + 1;
        ElementType et;
        if (!ParseElementType(typeRange ? typeBase : type, &et)) {
            *error = std::string(where) + ": unknown type \"" + type + "\"";
            return 0;
        }
        if (row.offset < 0 ||
            static_cast<long long>(row.offset) + static_cast<long long>(et.size) * count > size) {
            *error = std::string(where) + ": field " + name + " lies outside the record";
            return 0;
        }
        for (int i = 0; i < count; i++) {
            Element e;
            e.name = (nameRange || typeRange) ? base + "[" + std::to_string(first + i) + "]" : name;
            e.type = et;
            e.offset = row.offset + i * et.size;
            // A row may name a field again at its offset and with its type
            // (some types list their watchdog fields twice): one field. A
            // name given again elsewhere in the record (the module's own
            // watchdog fields beside the measurement settings') is a field
            // of its own, in the file under the same name in schema order.
            auto same = names.equal_range(e.name);
            bool repeated = false;
            for (auto it = same.first; it != same.second; ++it)
                repeated = repeated ||
                           (it->second.offset == e.offset && it->second.type.name == e.type.name);
            if (repeated) continue;
            names.emplace(e.name, e);
            out->push_back(e);
        }
    }
    return 1;
}

std::string Quote(const char* p, size_t max) {
    std::string out = "\"";
    for (size_t i = 0; i < max && p[i]; i++) {
        unsigned char c = static_cast<unsigned char>(p[i]);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += static_cast<char>(c);
        } else if (c < 0x20 || c > 0x7E) {
            char hex[8];
            snprintf(hex, sizeof hex, "\\x%02X", c);
            out += hex;
        } else {
            out += static_cast<char>(c);
        }
    }
    return out + "\"";
}

std::string FormatElement(const Element& e, const unsigned char* record) {
    const unsigned char* p = record + e.offset;
    char buf[64];
    switch (e.type.kind) {
    case EK_STRING:
        return Quote(reinterpret_cast<const char*>(p), static_cast<size_t>(e.type.size));
    case EK_FLOAT: {
        float f;
        memcpy(&f, p, 4);
        snprintf(buf, sizeof buf, "%.9g", static_cast<double>(f));
        return buf;
    }
    case EK_DOUBLE: {
        double d;
        memcpy(&d, p, 8);
        snprintf(buf, sizeof buf, "%.17g", d);
        return buf;
    }
    case EK_INT:
        if (e.type.size == 2) {
            short v;
            memcpy(&v, p, 2);
            snprintf(buf, sizeof buf, "%d", v);
        } else {
            int32_t v;
            memcpy(&v, p, 4);
            snprintf(buf, sizeof buf, "%ld", static_cast<long>(v));
        }
        return buf;
    case EK_UINT:
        if (e.type.size == 2) {
            unsigned short v;
            memcpy(&v, p, 2);
            snprintf(buf, sizeof buf, "%u", v);
        } else {
            uint32_t v;
            memcpy(&v, p, 4);
            snprintf(buf, sizeof buf, "%lu", static_cast<unsigned long>(v));
        }
        return buf;
    }
    return "";
}

// ---- reading ----

std::string Trim(const std::string& s) {
    size_t a = s.find_first_not_of(" \t\r");
    if (a == std::string::npos) return "";
    size_t b = s.find_last_not_of(" \t\r");
    return s.substr(a, b - a + 1);
}

// A quoted text; 0 with a reason when it does not parse.
int ParseQuoted(const std::string& v, std::string* out, std::string* why) {
    out->clear();
    if (v.empty() || v[0] != '"') {
        *why = "a text must be quoted";
        return 0;
    }
    size_t i = 1;
    for (; i < v.size(); i++) {
        char c = v[i];
        if (c == '"') break;
        if (c != '\\') {
            out->push_back(c);
            continue;
        }
        if (++i >= v.size()) break;
        char e = v[i];
        if (e == '"' || e == '\\') {
            out->push_back(e);
        } else if (e == 'x' && i + 2 < v.size() && isxdigit(static_cast<unsigned char>(v[i + 1])) &&
                   isxdigit(static_cast<unsigned char>(v[i + 2]))) {
            unsigned x = static_cast<unsigned>(strtoul(v.substr(i + 1, 2).c_str(), nullptr, 16));
            if (x == 0) {
                *why = "a text cannot hold \\x00";
                return 0;
            }
            out->push_back(static_cast<char>(x));
            i += 2;
        } else {
            *why = "unknown escape in the text";
            return 0;
        }
    }
    if (i >= v.size()) {
        *why = "truncated line: the text has no closing quote";
        return 0;
    }
    if (i + 1 != v.size()) {
        *why = "characters after the closing quote";
        return 0;
    }
    return 1;
}

int ParseInteger(const std::string& v, long long min, long long max, long long* out) {
    if (v.empty()) return 0;
    errno = 0;
    char* end = nullptr;
    long long x = strtoll(v.c_str(), &end, 10);
    if (errno != 0 || end == v.c_str() || *end != 0 || x < min || x > max) return 0;
    *out = x;
    return 1;
}

int ParseReal(const std::string& v, double* out) {
    if (v.empty()) return 0;
    char* end = nullptr;
    double x = strtod(v.c_str(), &end);
    if (end == v.c_str() || *end != 0) return 0;
    *out = x;
    return 1;
}

// Writes a value given as text into the element; 0 with a reason.
int StoreElement(const Element& e, const std::string& v, unsigned char* record, std::string* why) {
    unsigned char* p = record + e.offset;
    switch (e.type.kind) {
    case EK_STRING: {
        std::string s;
        if (!ParseQuoted(v, &s, why)) return 0;
        if (s.size() >= static_cast<size_t>(e.type.size)) {
            *why = "the text does not fit " + e.type.name;
            return 0;
        }
        memset(p, 0, static_cast<size_t>(e.type.size));
        memcpy(p, s.data(), s.size());
        return 1;
    }
    case EK_FLOAT:
    case EK_DOUBLE: {
        double d;
        if (!ParseReal(v, &d)) {
            *why = "the value \"" + v + "\" does not parse as " + e.type.name;
            return 0;
        }
        if (e.type.kind == EK_FLOAT) {
            if (isfinite(d) && fabs(d) > 3.402823466e38) {
                *why = "the value \"" + v + "\" is out of range for float";
                return 0;
            }
            float f = static_cast<float>(d);
            memcpy(p, &f, 4);
        } else {
            memcpy(p, &d, 8);
        }
        return 1;
    }
    case EK_INT:
    case EK_UINT: {
        long long x;
        if (!ParseInteger(v, e.type.min, e.type.max, &x)) {
            *why = "the value \"" + v + "\" does not parse as " + e.type.name;
            return 0;
        }
        if (e.type.size == 2) {
            uint16_t w = static_cast<uint16_t>(x);
            memcpy(p, &w, 2);
        } else {
            uint32_t d = static_cast<uint32_t>(x);
            memcpy(p, &d, 4);
        }
        return 1;
    }
    }
    return 0;
}

// A block read from the text, not yet in the worksheet.
struct Pending {
    Block* block = nullptr;
    int line = 0;
    std::vector<Element> elements;
    std::set<std::string> seen;             // header keys and inputs given
    std::map<std::string, int> fieldsGiven; // lines of each field name read
};

struct Loader {
    std::vector<Block*> made;
    std::string error;

    ~Loader() {
        for (Block* b : made)
            FreeBlock(b);
    }
    int Fail(int line, const std::string& why) {
        char where[32];
        snprintf(where, sizeof where, "line %d: ", line);
        error = where + why;
        return 0;
    }

    int Header(Pending* p, int line, const std::string& key, const std::string& v) {
        if (!p->seen.insert(key).second) return Fail(line, key + " given twice");
        std::string why;
        if (key == "name" || key == "description") {
            std::string s;
            if (!ParseQuoted(v, &s, &why)) return Fail(line, why);
            char* field = key == "name" ? p->block->record.szName : p->block->record.szDescription;
            size_t size = key == "name" ? sizeof p->block->record.szName
                                        : sizeof p->block->record.szDescription;
            if (s.size() >= size) {
                char msg[96];
                snprintf(msg, sizeof msg, "the %s is longer than %u characters", key.c_str(),
                         static_cast<unsigned>(size - 1));
                return Fail(line, msg);
            }
            memset(field, 0, size);
            memcpy(field, s.data(), s.size());
            return 1;
        }
        long long n;
        if (!ParseInteger(v, 0, 16, &n))
            return Fail(line, "the " + key + " count \"" + v + "\" is not a number from 0 to 16");
        if (key == "inputs") {
            p->block->record.uInputs = static_cast<UINT>(n);
        } else {
            p->block->record.uOutputs = static_cast<UINT>(n);
        }
        return 1;
    }

    int Field(Pending* p, int line, const std::string& left, const std::string& v) {
        // left is "field NAME TYPE"
        std::istringstream in(left);
        std::string word, name, type, extra;
        in >> word >> name >> type >> extra;
        if (name.empty() || type.empty()) return Fail(line, "truncated line");
        if (!extra.empty()) return Fail(line, "a field line is: field NAME TYPE = VALUE");
        // The n-th line of a name fills the n-th field of that name.
        int given = p->fieldsGiven[name]++;
        const Element* e = nullptr;
        int named = 0;
        for (const Element& x : p->elements) {
            if (x.name != name) continue;
            if (named++ == given) e = &x;
        }
        if (named == 0)
            return Fail(line,
                        "class " + p->block->moduleClass->className + " has no field " + name);
        if (e == nullptr) return Fail(line, "field " + name + " given twice");
        if (e->type.name != type)
            return Fail(line, "field " + name + " is " + e->type.name + ", not " + type);
        std::string why;
        if (!StoreElement(*e, v, p->block->param.data(), &why)) return Fail(line, why);
        return 1;
    }

    // "input N = SOURCE": what feeds input channel N.
    int Input(Pending* p, int line, const std::string& left, const std::string& v) {
        long long n;
        if (!ParseInteger(Trim(left.substr(6)), 0, 15, &n))
            return Fail(line, "an input line is: input N = SOURCE, N from 0 to 15");
        if (!p->seen.insert("input " + std::to_string(n)).second)
            return Fail(line, "input " + std::to_string(n) + " given twice");
        InputSource source;
        std::string why;
        if (!ParseInputSource(v, &source, &why) ||
            !ConnectInput(p->block, static_cast<int>(n), source, &why)) {
            return Fail(line, why);
        }
        return 1;
    }

    int Run(const std::string& text) {
        std::istringstream in(text);
        std::string raw;
        int line = 0;
        bool headerSeen = false;
        Pending current;
        bool inBlock = false;
        while (std::getline(in, raw)) {
            line++;
            std::string s = Trim(raw);
            if (s.empty() || s[0] == ';') continue;
            if (!headerSeen) {
                if (s != kHeader)
                    return Fail(line,
                                "not a worksheet (\"" + std::string(kHeader) + "\" expected)");
                headerSeen = true;
                continue;
            }
            if (s == "block") {
                if (inBlock) return Fail(line, "block inside a block");
                current = Pending();
                current.line = line;
                inBlock = true;
                continue;
            }
            if (s == "end") {
                if (!inBlock) return Fail(line, "end without block");
                const char* required[] = {"class", "name", "description", "inputs", "outputs"};
                for (const char* k : required) {
                    if (!current.seen.count(k))
                        return Fail(line, std::string("block without ") + k);
                }
                inBlock = false;
                continue;
            }
            size_t eq = s.find('=');
            if (eq == std::string::npos) return Fail(line, "truncated line");
            std::string left = Trim(s.substr(0, eq)), value = Trim(s.substr(eq + 1));
            if (value.empty()) return Fail(line, "truncated line");
            if (!inBlock) return Fail(line, "a value outside a block");
            if (left == "class") {
                if (current.block != nullptr) return Fail(line, "class given twice");
                std::string name, why;
                if (!ParseQuoted(value, &name, &why)) return Fail(line, why);
                const ModuleClass* c = FindClassByName(name.c_str());
                if (c == nullptr) return Fail(line, "unknown class \"" + name + "\"");
                current.block = MakeBlock(c);
                made.push_back(current.block);
                current.seen.insert("class");
                std::string schemaError;
                if (!SchemaElements(current.block, &current.elements, &schemaError))
                    return Fail(line, schemaError);
                continue;
            }
            if (current.block == nullptr) return Fail(line, "the class must come first");
            if (left == "name" || left == "description" || left == "inputs" || left == "outputs") {
                if (!Header(&current, line, left, value)) return 0;
                continue;
            }
            if (left.compare(0, 6, "input ") == 0) {
                if (!Input(&current, line, left, value)) return 0;
                continue;
            }
            if (left.compare(0, 6, "field ") == 0 || left == "field") {
                if (!Field(&current, line, left, value)) return 0;
                continue;
            }
            return Fail(line, "unknown key \"" + left + "\"");
        }
        if (!headerSeen) return Fail(line + 1, "not a worksheet (empty)");
        if (inBlock)
            return Fail(line, "the block begun at line " + std::to_string(current.line) +
                                  " has no end (truncated file)");
        return 1;
    }
};

} // namespace

int WorksheetToText(std::string* text, std::string* error) {
    std::string out = std::string(kHeader) + "\n";
    for (int i = 0; i < BlockCount(); i++) {
        Block* b = BlockAt(i);
        std::vector<Element> elements;
        std::string why;
        if (!SchemaElements(b, &elements, &why)) {
            if (error) *error = "block " + std::to_string(i + 1) + ": " + why;
            return 0;
        }
        char line[160];
        out += "\nblock\n";
        out += "  class = " + Quote(b->moduleClass->className.c_str(), 1024) + "\n";
        out += "  name = " + Quote(b->record.szName, sizeof b->record.szName) + "\n";
        out += "  description = " + Quote(b->record.szDescription, sizeof b->record.szDescription) +
               "\n";
        snprintf(line, sizeof line, "  inputs = %u\n  outputs = %u\n", b->record.uInputs,
                 b->record.uOutputs);
        out += line;
        for (int k = 0; k < 16; k++) {
            if (b->inputSources[k].kind != INPUT_NONE)
                out += "  input " + std::to_string(k) + " = " +
                       FormatInputSource(b->inputSources[k]) + "\n";
        }
        for (const Element& e : elements)
            out += "  field " + e.name + " " + e.type.name + " = " +
                   FormatElement(e, b->param.data()) + "\n";
        out += "end\n";
    }
    *text = out;
    return 1;
}

int WorksheetFromText(const std::string& text, std::string* error) {
    Loader loader;
    if (!loader.Run(text)) {
        if (error) *error = loader.error;
        return 0;
    }
    std::vector<Block*> blocks;
    blocks.swap(loader.made);
    ReplaceBlocks(blocks);
    for (Block* b : blocks)
        b->afterLoadAnswer = SendClassMessage(b, MODMSG_AFTER_LOAD, 0, 0);
    return 1;
}

int BlockIntegerField(Block* block, const std::string& name, long long* value) {
    std::vector<Element> elements;
    std::string why;
    if (!SchemaElements(block, &elements, &why)) return 0;
    for (const Element& e : elements) {
        if (e.name != name || (e.type.kind != EK_INT && e.type.kind != EK_UINT)) continue;
        *value = atoll(FormatElement(e, block->param.data()).c_str());
        return 1;
    }
    return 0;
}

int SaveWorksheet(const char* path, std::string* error) {
    std::string text;
    if (!WorksheetToText(&text, error)) return 0;
    std::ofstream out(path, std::ios::binary);
    out << text;
    out.close();
    if (!out) {
        if (error) *error = std::string("cannot write ") + path;
        return 0;
    }
    return 1;
}

int LoadWorksheet(const char* path, std::string* error) {
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        if (error) *error = std::string("cannot read ") + path;
        return 0;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string why;
    if (!WorksheetFromText(text.str(), &why)) {
        if (error) *error = std::string(path) + " " + why;
        return 0;
    }
    return 1;
}

} // namespace hostsim
