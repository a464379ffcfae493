#pragma once
// The branding file "KESTO.OEM": a tree of named groups and typed values,
// loaded once at start-up and looked up by slash paths ("Settings/ButtonWidth").
// Names and texts are 8-bit, compared byte for byte.
#include <cstdint>
#include <istream>
#include <map>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

class COEMConfigGroup;

class COEMConfigNode {
public:
    // Nodes are made through the parent's AddGroup/AddValue, which owns them
    // and lists them under their name unless an earlier child has it.
    COEMConfigNode(COEMConfigGroup* parent, std::string name, bool isGroup);
    virtual ~COEMConfigNode();
    COEMConfigNode(const COEMConfigNode&) = delete;
    COEMConfigNode& operator=(const COEMConfigNode&) = delete;

    const std::string& GetName() const { return name; }
    COEMConfigGroup* GetParent() const { return parent; }
    bool IsGroup() const { return isGroup; }
    // "/" for the root, else the parent's path, "/" and the name.
    std::string GetPath() const;

private:
    COEMConfigGroup* parent;
    std::string name;
    bool isGroup;
};

class COEMConfigValue;

class COEMConfigGroup : public COEMConfigNode {
public:
    COEMConfigGroup(COEMConfigGroup* parent, std::string name);
    ~COEMConfigGroup() override;

    // The node at `path` relative to this group; leading, trailing and doubled
    // slashes are ignored; an empty path is the group itself.
    COEMConfigNode* FindNode(const std::string& path);
    void Clear();

    // New children, owned by this group, in file order.
    COEMConfigGroup* AddGroup(const std::string& name);
    COEMConfigValue* AddValue(const std::string& name);

    // Every child in the order it was added, duplicates included.
    const std::vector<std::unique_ptr<COEMConfigNode>>& Children() const { return children; }
    const std::map<std::string, COEMConfigValue*>& Values() const { return values; }
    const std::map<std::string, COEMConfigGroup*>& Groups() const { return groups; }

private:
    void Register(COEMConfigNode* node);

    std::vector<std::unique_ptr<COEMConfigNode>> children;
    std::map<std::string, COEMConfigValue*> values;
    std::map<std::string, COEMConfigGroup*> groups;
    std::map<std::string, COEMConfigNode*> all;
};

enum class OEMValueKind : int32_t { String = 1, Integer = 2, Boolean = 3, Data = 4 };

class COEMConfigValue : public COEMConfigNode {
public:
    COEMConfigValue(COEMConfigGroup* parent, std::string name);

    OEMValueKind GetKind() const { return kind; }
    int32_t GetInt() const { return kind == OEMValueKind::Integer ? number : 0; }
    bool GetBool() const { return kind == OEMValueKind::Boolean && number != 0; }
    const std::string& GetString() const { return text; }
    const uint8_t* GetData() const { return kind == OEMValueKind::Data && data ? data.get() : nullptr; }
    uint32_t GetDataSize() const { return kind == OEMValueKind::Data ? static_cast<uint32_t>(number) : 0; }

    void SetString(const std::string& value);
    void SetInt(int32_t value);
    void SetBool(bool value);
    void SetData(const void* block, uint32_t length);

private:
    void Reset();

    OEMValueKind kind = OEMValueKind::Integer;
    std::string text;
    int32_t number = 0;
    std::unique_ptr<uint8_t[]> data;
};

class COEMConfig : public COEMConfigGroup {
public:
    COEMConfig();

    // Reads the whole file from the (seekable) stream's current position,
    // replacing the tree. Fails on a wrong head (tree untouched), a short
    // read, an unknown kind, nesting deeper than MaxNestingDepth or a length
    // beyond the end of the stream (tree left empty).
    bool Load(std::istream& in);
    // Writes the tree in the format Load reads (every child, duplicates too).
    bool Save(std::ostream& out) const;

    // The value at `path`, or none when absent or a group.
    COEMConfigValue* FindValue(const std::string& path);
    // Like FindValue, but a missing value is a broken installation: reports
    // "Missing OEM value : <path>" and ends the process with exit code 1.
    COEMConfigValue& GetValue(const std::string& path);

    static constexpr uint32_t Magic = 0xABCD1234;
    static constexpr uint32_t Version = 0x00010000;
    static constexpr int MaxNestingDepth = 64;
};

// The application's branding tree, the first application-wide instance
// created and the last destroyed.
COEMConfig& OEMConfig();
