#include "parse/BookmarkStreamFormat.h"

#include <cstdint>
#include <cstring>
#include <limits>

namespace {

enum TValueType : unsigned char {
    vaNull = 0,
    vaList = 1,
    vaInt8 = 2,
    vaInt16 = 3,
    vaInt32 = 4,
    vaString = 6,
    vaIdent = 7,
    vaFalse = 8,
    vaTrue = 9,
    vaSet = 11,
    vaLString = 12,
};

const char kSignature[] = "TPF0";
const char kClassName[] = "TListBox";
const char kComponentName[] = "ListBox1";

// ---- Writing ----

class TWriter {
public:
    void Byte(unsigned char value) { bytes_ += static_cast<char>(value); }
    void ShortString(const std::string& text)
    {
        Byte(static_cast<unsigned char>(text.size()));
        bytes_ += text;
    }
    void Integer(int value)
    {
        if (value >= std::numeric_limits<int8_t>::min() &&
            value <= std::numeric_limits<int8_t>::max()) {
            Byte(vaInt8);
            Byte(static_cast<unsigned char>(static_cast<int8_t>(value)));
        } else if (value >= std::numeric_limits<int16_t>::min() &&
                   value <= std::numeric_limits<int16_t>::max()) {
            Byte(vaInt16);
            LittleEndian(static_cast<uint32_t>(static_cast<uint16_t>(static_cast<int16_t>(value))),
                         2);
        } else {
            Byte(vaInt32);
            LittleEndian(static_cast<uint32_t>(value), 4);
        }
    }
    void String(const std::string& text)
    {
        if (text.size() <= 255) {
            Byte(vaString);
            ShortString(text);
        } else {
            Byte(vaLString);
            LittleEndian(static_cast<uint32_t>(text.size()), 4);
            bytes_ += text;
        }
    }
    void Ident(const std::string& name)
    {
        Byte(vaIdent);
        ShortString(name);
    }
    void Boolean(bool value) { Byte(value ? vaTrue : vaFalse); }
    void Set(const std::vector<std::string>& elements)
    {
        Byte(vaSet);
        for (const std::string& element : elements)
            ShortString(element);
        ShortString("");
    }
    void Property(const char* name) { ShortString(name); }
    const std::string& Bytes() const noexcept { return bytes_; }

private:
    void LittleEndian(uint32_t value, int count)
    {
        for (int i = 0; i < count; ++i)
            Byte(static_cast<unsigned char>(value >> (8 * i)));
    }

    std::string bytes_;
};

// ---- Reading ----

class TReader {
public:
    explicit TReader(TByteSpan bytes) : bytes_(bytes) {}

    bool AtEnd() const noexcept { return position_ >= bytes_.size(); }
    size_t Left() const noexcept { return bytes_.size() - position_; }

    unsigned char Byte()
    {
        Need(1, "a value");
        return static_cast<unsigned char>(bytes_[position_++]);
    }
    std::string Bytes(size_t count, const char* what)
    {
        Need(count, what);
        std::string result(reinterpret_cast<const char*>(bytes_.data() + position_), count);
        position_ += count;
        return result;
    }
    std::string ShortString(const char* what)
    {
        const size_t length = Byte();
        return Bytes(length, what);
    }
    uint32_t LittleEndian(int count)
    {
        Need(static_cast<size_t>(count), "a number");
        uint32_t value = 0;
        for (int i = 0; i < count; ++i)
            value |= static_cast<uint32_t>(static_cast<unsigned char>(bytes_[position_++]))
                     << (8 * i);
        return value;
    }

    // One value of the types the list box uses.
    struct TValue {
        TValueType type = vaNull;
        int integer = 0;
        std::string text;                // string and identifier
        std::vector<std::string> items;  // set elements, list strings
    };
    TValue Value()
    {
        TValue value;
        value.type = static_cast<TValueType>(Byte());
        switch (value.type) {
        case vaInt8: value.integer = static_cast<int8_t>(Byte()); break;
        case vaInt16:
            value.integer = static_cast<int16_t>(static_cast<uint16_t>(LittleEndian(2)));
            break;
        case vaInt32: value.integer = static_cast<int32_t>(LittleEndian(4)); break;
        case vaString:
        case vaIdent: value.text = ShortString("a text"); break;
        case vaLString: {
            const uint32_t length = LittleEndian(4);
            value.text = Bytes(length, "a long text");
            break;
        }
        case vaFalse:
        case vaTrue: break;
        case vaSet:
            for (std::string element = ShortString("a set"); !element.empty();
                 element = ShortString("a set"))
                value.items.push_back(std::move(element));
            break;
        case vaList:
            // Only texts: checked before reading, so that nested lists cannot recurse.
            for (unsigned char type; (type = PeekByte()) != vaNull;) {
                if (type != vaString && type != vaLString)
                    Fail("a list holds something other than text");
                value.items.push_back(Value().text);
            }
            ++position_;
            break;
        default: Fail("unknown value type " + std::to_string(value.type));
        }
        return value;
    }

    [[noreturn]] static void Fail(const std::string& reason) { throw TFormatError(reason); }

private:
    unsigned char PeekByte()
    {
        Need(1, "the end of a list");
        return static_cast<unsigned char>(bytes_[position_]);
    }
    void Need(size_t count, const char* what) const
    {
        if (count > Left())
            Fail(std::string("the file ends inside ") + what);
    }

    TByteSpan bytes_;
    size_t position_ = 0;
};

int IntegerOf(const TReader::TValue& value, const std::string& name)
{
    if (value.type != vaInt8 && value.type != vaInt16 && value.type != vaInt32)
        TReader::Fail(name + " is not a number");
    return value.integer;
}

std::string IdentOrIntegerOf(const TReader::TValue& value, const std::string& name)
{
    if (value.type == vaIdent)
        return value.text;
    return std::to_string(IntegerOf(value, name));
}

}  // namespace

std::vector<std::string> InitialBookmarkLines()
{
    return {"1 C:\\tmp", "2 C:\\temp", "3", "4", "5", "6", "7", "8", "9", "10"};
}

std::string WriteBookmarkStream(const TBookmarkListState& state)
{
    TWriter out;
    for (const char* c = kSignature; *c != '\0'; ++c)
        out.Byte(static_cast<unsigned char>(*c));
    out.ShortString(kClassName);
    out.ShortString(kComponentName);
    out.Property("Left");
    out.Integer(state.Left);
    out.Property("Top");
    out.Integer(state.Top);
    out.Property("Width");
    out.Integer(state.Width);
    out.Property("Height");
    out.Integer(state.Height);
    out.Property("Font.Charset");
    out.Ident(state.FontCharset);
    out.Property("Font.Color");
    out.Ident(state.FontColor);
    out.Property("Font.Height");
    out.Integer(state.FontHeight);
    out.Property("Font.Name");
    out.String(state.FontName);
    out.Property("Font.Style");
    out.Set(state.FontStyle);
    out.Property("ItemHeight");
    out.Integer(state.ItemHeight);
    out.Property("Items.Strings");
    out.Byte(vaList);
    for (const std::string& line : state.Lines)
        out.String(line);
    out.Byte(vaNull);
    out.Property("ParentFont");
    out.Boolean(state.ParentFont);
    out.Property("TabOrder");
    out.Integer(state.TabOrder);
    out.Byte(vaNull);  // end of the properties
    out.Byte(vaNull);  // no child components
    return out.Bytes();
}

TBookmarkListState ParseBookmarkStream(TByteSpan bytes)
{
    TReader in(bytes);
    if (in.Left() < 4 || std::memcmp(bytes.data(), kSignature, 4) != 0)
        TReader::Fail("it is not a bookmark list (no TPF0 signature)");
    in.Bytes(4, "the signature");
    const std::string className = in.ShortString("the class name");
    if (className != kClassName)
        TReader::Fail("it holds a " + className + ", not a list box");
    in.ShortString("the component name");

    // The list's stored values, property by property; a property of the list box that this
    // program does not store is read and left alone.
    TBookmarkListState state;
    state.Lines.clear();
    bool haveLines = false;
    for (std::string name = in.ShortString("a property name"); !name.empty();
         name = in.ShortString("a property name")) {
        const TReader::TValue value = in.Value();
        if (name == "Left")
            state.Left = IntegerOf(value, name);
        else if (name == "Top")
            state.Top = IntegerOf(value, name);
        else if (name == "Width")
            state.Width = IntegerOf(value, name);
        else if (name == "Height")
            state.Height = IntegerOf(value, name);
        else if (name == "Font.Charset")
            state.FontCharset = IdentOrIntegerOf(value, name);
        else if (name == "Font.Color")
            state.FontColor = IdentOrIntegerOf(value, name);
        else if (name == "Font.Height")
            state.FontHeight = IntegerOf(value, name);
        else if (name == "Font.Name") {
            if (value.type != vaString && value.type != vaLString)
                TReader::Fail("Font.Name is not a text");
            state.FontName = value.text;
        } else if (name == "Font.Style") {
            if (value.type != vaSet)
                TReader::Fail("Font.Style is not a set");
            state.FontStyle = value.items;
        } else if (name == "ItemHeight")
            state.ItemHeight = IntegerOf(value, name);
        else if (name == "Items.Strings") {
            if (value.type != vaList)
                TReader::Fail("Items.Strings is not a list");
            state.Lines = value.items;
            haveLines = true;
        } else if (name == "ParentFont") {
            if (value.type != vaTrue && value.type != vaFalse)
                TReader::Fail("ParentFont is not true or false");
            state.ParentFont = value.type == vaTrue;
        } else if (name == "TabOrder")
            state.TabOrder = IntegerOf(value, name);
    }
    if (in.Byte() != vaNull)
        TReader::Fail("the list box holds other components");
    if (!in.AtEnd())
        TReader::Fail("there is more data after the list box");
    if (!haveLines)
        state.Lines = InitialBookmarkLines();
    return state;
}
