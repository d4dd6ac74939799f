// The settings of one file in memory: a tree of named nodes, and its text form.
// The text form is described in IniFileManager.h.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

namespace IniFile {

// Splits a key such as "Window/Main/Width" (or "Window\Main\Width") into its names,
// trimming blanks and dropping empty names, so that "" and "/" name the root.
// False when a name is not allowed (see IniFileManager.h), when there are more
// than kMaxKeyDepth names, or when key is null.
constexpr size_t kMaxKeyDepth = 64;
bool SplitKey(const char* key, std::vector<std::string>& names);
bool SplitKey(std::string_view key, std::vector<std::string>& names);

// The index that an array item's name stands for ("0", "17"; no sign, no leading
// zero), or -1 when the name is not an item name.
int32_t ItemIndexOf(std::string_view name);

// One node: a name, an optional value and children in file order. Children are
// found by name through an index, so that large files and arrays stay fast;
// names compare without regard to ASCII case, other bytes compare exactly.
class SettingsNode
{
public:
    explicit SettingsNode(std::string name = std::string());

    const std::string& Name() const { return mName; }
    bool HasValue() const { return mHasValue; }
    const std::string& Value() const { return mValue; }
    void SetValue(std::string value);
    const std::vector<SettingsNode>& Children() const { return mChildren; }

    SettingsNode* FindChild(std::string_view childName);
    const SettingsNode* FindChild(std::string_view childName) const;
    // The child of that name, appended (without a value) when missing.
    SettingsNode& FindOrAddChild(std::string_view childName);

    // The number of consecutive items "0", "1", ... among the children.
    int32_t ArrayCount() const;
    // Removes the items from count on and adds empty items up to count.
    void ResizeArray(int32_t count);
    // Removes item index (which must be below ArrayCount) and renames the items
    // after it down by one.
    void RemoveArrayItem(int32_t index);

private:
    void RebuildIndex();

    std::string mName;
    bool mHasValue = false;
    std::string mValue;
    std::vector<SettingsNode> mChildren;
    std::unordered_map<std::string, size_t> mIndex; // folded name -> position in mChildren
    mutable int32_t mArrayCount = -1;               // -1 until counted after a change
};

class SettingsTree
{
public:
    SettingsNode& Root() { return mRoot; }
    const SettingsNode& Root() const { return mRoot; }

    // The node at the path of names, or null.
    const SettingsNode* Find(const std::vector<std::string>& names) const;
    // The node at the path of names, created with its parents when missing.
    SettingsNode& FindOrAdd(const std::vector<std::string>& names);

    // Reads as much of text as makes sense; never fails.
    static SettingsTree Parse(std::string_view text);
    // The text form, headed by the comment line "; " + comment when comment is not
    // empty. Parse(Format(c)) gives the same nodes and values back; only the
    // children of a node come in the order of the text (its values first).
    std::string Format(std::string_view comment) const;

private:
    SettingsNode mRoot;
};

} // namespace IniFile
