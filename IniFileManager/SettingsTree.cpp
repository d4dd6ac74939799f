#include "SettingsTree.h"

#include <algorithm>
#include <utility>

namespace IniFile {

namespace {

char FoldAscii(char c)
{
    return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}

// The form under which a name is indexed: names differing only in ASCII case are one.
std::string FoldName(std::string_view name)
{
    std::string folded(name);
    for (char& c : folded)
        c = FoldAscii(c);
    return folded;
}

bool IsBlank(char c)
{
    return c == ' ' || c == '\t';
}

std::string_view TrimBlanks(std::string_view text)
{
    while (!text.empty() && IsBlank(text.front()))
        text.remove_prefix(1);
    while (!text.empty() && IsBlank(text.back()))
        text.remove_suffix(1);
    return text;
}

// A name must survive a trip through the text form: no characters that end a
// line, a header or a name, and no start that makes the line a comment.
bool IsValidName(std::string_view name)
{
    if (name.empty() || name.front() == ';' || name.front() == '#')
        return false;
    for (char c : name) {
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7F || c == '=' || c == '[' || c == ']')
            return false;
    }
    return true;
}

std::string EscapeValue(const std::string& value)
{
    std::string out;
    out.reserve(value.size() + 8);
    for (size_t i = 0; i < value.size(); ++i) {
        const char c = value[i];
        switch (c) {
        case '\\': out += "\\\\"; break;
        case '\n': out += "\\n"; break;
        case '\r': out += "\\r"; break;
        case '\t': out += "\\t"; break;
        case ' ':
            // Blanks around a value are trimmed when it is read back.
            out += (i == 0 || i + 1 == value.size()) ? "\\s" : " ";
            break;
        default: out += c; break;
        }
    }
    return out;
}

std::string UnescapeValue(std::string_view text)
{
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if (c != '\\' || i + 1 == text.size()) {
            out += c;
            continue;
        }
        switch (text[i + 1]) {
        case '\\': out += '\\'; break;
        case 'n': out += '\n'; break;
        case 'r': out += '\r'; break;
        case 't': out += '\t'; break;
        case 's': out += ' '; break;
        default:
            // Not an escape: a backslash typed by hand (a path) stays as it is.
            out += c;
            continue;
        }
        ++i;
    }
    return out;
}

// Comment text must stay on its one line.
std::string OneLine(std::string_view text)
{
    std::string out(text);
    std::replace_if(out.begin(), out.end(), [](char c) { return c == '\r' || c == '\n' || c == '\0'; }, ' ');
    return out;
}

void FormatValues(const SettingsNode& node, std::string& out)
{
    for (const SettingsNode& child : node.Children()) {
        if (child.HasValue())
            out.append(child.Name()).append("=").append(EscapeValue(child.Value())).append("\r\n");
    }
}

// A node gets a header when it has values to list under it, or when it has
// nothing at all (an empty section, such as an empty array, must survive).
void FormatSections(const SettingsNode& node, const std::string& path, std::string& out)
{
    const std::vector<SettingsNode>& children = node.Children();
    const bool hasValueChildren =
        std::any_of(children.begin(), children.end(), [](const SettingsNode& c) { return c.HasValue(); });
    if (hasValueChildren || (!node.HasValue() && children.empty())) {
        out.append("[").append(path).append("]\r\n");
        FormatValues(node, out);
    }
    for (const SettingsNode& child : children) {
        if (!child.HasValue() || !child.Children().empty())
            FormatSections(child, path + "/" + child.Name(), out);
    }
}

} // namespace

bool SplitKey(const char* key, std::vector<std::string>& names)
{
    names.clear();
    return key != nullptr && SplitKey(std::string_view(key), names);
}

bool SplitKey(std::string_view key, std::vector<std::string>& names)
{
    names.clear();
    size_t start = 0;
    while (start <= key.size()) {
        size_t end = key.find_first_of("/\\", start);
        if (end == std::string_view::npos)
            end = key.size();
        const std::string_view name = TrimBlanks(key.substr(start, end - start));
        if (!name.empty()) {
            if (!IsValidName(name) || names.size() == kMaxKeyDepth)
                return false;
            names.emplace_back(name);
        }
        start = end + 1;
    }
    return true;
}

int32_t ItemIndexOf(std::string_view name)
{
    // Nine digits stay below 2^31; no array gets near that.
    if (name.empty() || name.size() > 9 || (name.size() > 1 && name.front() == '0'))
        return -1;
    int32_t index = 0;
    for (char c : name) {
        if (c < '0' || c > '9')
            return -1;
        index = index * 10 + (c - '0');
    }
    return index;
}

SettingsNode::SettingsNode(std::string name) : mName(std::move(name)) {}

void SettingsNode::SetValue(std::string value)
{
    mHasValue = true;
    mValue = std::move(value);
}

SettingsNode* SettingsNode::FindChild(std::string_view childName)
{
    const auto found = mIndex.find(FoldName(childName));
    return found == mIndex.end() ? nullptr : &mChildren[found->second];
}

const SettingsNode* SettingsNode::FindChild(std::string_view childName) const
{
    return const_cast<SettingsNode*>(this)->FindChild(childName);
}

SettingsNode& SettingsNode::FindOrAddChild(std::string_view childName)
{
    if (SettingsNode* child = FindChild(childName))
        return *child;
    mChildren.emplace_back(std::string(childName));
    mIndex.emplace(FoldName(childName), mChildren.size() - 1);
    mArrayCount = -1;
    return mChildren.back();
}

void SettingsNode::RebuildIndex()
{
    mIndex.clear();
    for (size_t i = 0; i < mChildren.size(); ++i)
        mIndex.emplace(FoldName(mChildren[i].mName), i);
    mArrayCount = -1;
}

int32_t SettingsNode::ArrayCount() const
{
    if (mArrayCount < 0) {
        int32_t count = 0;
        while (FindChild(std::to_string(count)))
            ++count;
        mArrayCount = count;
    }
    return mArrayCount;
}

void SettingsNode::ResizeArray(int32_t count)
{
    mChildren.erase(std::remove_if(mChildren.begin(), mChildren.end(),
                        [count](const SettingsNode& c) { return ItemIndexOf(c.mName) >= count; }),
        mChildren.end());
    RebuildIndex();
    for (int32_t index = 0; index < count; ++index) {
        SettingsNode& item = FindOrAddChild(std::to_string(index));
        if (!item.mHasValue && item.mChildren.empty())
            item.mHasValue = true; // a new item: empty text
    }
}

void SettingsNode::RemoveArrayItem(int32_t index)
{
    const int32_t count = ArrayCount();
    mChildren.erase(std::remove_if(mChildren.begin(), mChildren.end(),
                        [index](const SettingsNode& c) { return ItemIndexOf(c.mName) == index; }),
        mChildren.end());
    for (SettingsNode& child : mChildren) {
        const int32_t childIndex = ItemIndexOf(child.mName);
        if (childIndex > index && childIndex < count)
            child.mName = std::to_string(childIndex - 1);
    }
    RebuildIndex();
}

const SettingsNode* SettingsTree::Find(const std::vector<std::string>& names) const
{
    const SettingsNode* node = &mRoot;
    for (const std::string& name : names) {
        node = node->FindChild(name);
        if (!node)
            return nullptr;
    }
    return node;
}

SettingsNode& SettingsTree::FindOrAdd(const std::vector<std::string>& names)
{
    SettingsNode* node = &mRoot;
    for (const std::string& name : names)
        node = &node->FindOrAddChild(name);
    return *node;
}

SettingsTree SettingsTree::Parse(std::string_view text)
{
    SettingsTree tree;
    if (text.substr(0, 3) == "\xEF\xBB\xBF")
        text.remove_prefix(3);

    // Lines under a header that cannot be read belong to no known node: skipped.
    SettingsNode* section = &tree.mRoot;
    std::vector<std::string> names;
    size_t pos = 0;
    while (pos < text.size()) {
        size_t end = text.find_first_of("\r\n", pos);
        if (end == std::string_view::npos)
            end = text.size();
        std::string_view line = text.substr(pos, end - pos);
        pos = end;
        if (pos < text.size() && text[pos] == '\r')
            ++pos;
        if (pos < text.size() && text[pos] == '\n')
            ++pos;

        // A NUL marks a damaged line (a file cut short is often filled with zeros).
        if (line.find('\0') != std::string_view::npos)
            continue;
        line = TrimBlanks(line);
        if (line.empty() || line.front() == ';' || line.front() == '#')
            continue;

        if (line.front() == '[') {
            section = nullptr;
            if (line.size() >= 2 && line.back() == ']' && SplitKey(line.substr(1, line.size() - 2), names))
                section = &tree.FindOrAdd(names);
            continue;
        }

        const size_t equals = line.find('=');
        if (!section || equals == std::string_view::npos)
            continue;
        const std::string_view name = TrimBlanks(line.substr(0, equals));
        if (!IsValidName(name))
            continue;
        SettingsNode& child = section->FindOrAddChild(name);
        if (child.HasValue())
            continue; // of two lines for one key, the first counts
        child.SetValue(UnescapeValue(TrimBlanks(line.substr(equals + 1))));
    }
    return tree;
}

std::string SettingsTree::Format(std::string_view comment) const
{
    std::string out;
    if (!comment.empty())
        out.append("; ").append(OneLine(comment)).append("\r\n");
    FormatValues(mRoot, out);
    for (const SettingsNode& child : mRoot.Children()) {
        if (!child.HasValue() || !child.Children().empty())
            FormatSections(child, child.Name(), out);
    }
    return out;
}

} // namespace IniFile
