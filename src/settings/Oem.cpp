#include "settings/Oem.h"

#include <windows.h>

#include "settings/Oemutils.h"

// ---- nodes -----------------------------------------------------------------

COEMConfigNode::COEMConfigNode(COEMConfigGroup* parent, std::string name, bool isGroup)
    : parent(parent), name(std::move(name)), isGroup(isGroup)
{
}

COEMConfigNode::~COEMConfigNode() = default;

std::string COEMConfigNode::GetPath() const
{
    return (parent ? parent->GetPath() : std::string()) + "/" + name;
}

COEMConfigGroup::COEMConfigGroup(COEMConfigGroup* parent, std::string name) : COEMConfigNode(parent, std::move(name), true)
{
}

COEMConfigGroup::~COEMConfigGroup()
{
    Clear();
}

void COEMConfigGroup::Register(COEMConfigNode* node)
{
    // A later duplicate is kept (and saved) but never found: the first child
    // of a name owns it.
    if (!all.emplace(node->GetName(), node).second)
        return;
    if (node->IsGroup())
        groups.emplace(node->GetName(), static_cast<COEMConfigGroup*>(node));
    else
        values.emplace(node->GetName(), static_cast<COEMConfigValue*>(node));
}

COEMConfigGroup* COEMConfigGroup::AddGroup(const std::string& name)
{
    auto group = std::make_unique<COEMConfigGroup>(this, name);
    COEMConfigGroup* result = group.get();
    children.push_back(std::move(group));
    Register(result);
    return result;
}

COEMConfigValue* COEMConfigGroup::AddValue(const std::string& name)
{
    auto value = std::make_unique<COEMConfigValue>(this, name);
    COEMConfigValue* result = value.get();
    children.push_back(std::move(value));
    Register(result);
    return result;
}

void COEMConfigGroup::Clear()
{
    all.clear();
    groups.clear();
    values.clear();
    // Deepest groups are emptied by their own destructors; iterative enough
    // because loading bounds the depth.
    children.clear();
}

COEMConfigNode* COEMConfigGroup::FindNode(const std::string& path)
{
    size_t first = path.find_first_not_of('/');
    if (first == std::string::npos)
        return this;
    size_t last = path.find_last_not_of('/');
    std::string rest = path.substr(first, last - first + 1);
    size_t slash = rest.find('/');
    auto found = all.find(rest.substr(0, slash));
    if (found == all.end())
        return nullptr;
    if (slash == std::string::npos)
        return found->second;
    if (!found->second->IsGroup())
        return nullptr;
    return static_cast<COEMConfigGroup*>(found->second)->FindNode(rest.substr(slash + 1));
}

COEMConfigValue::COEMConfigValue(COEMConfigGroup* parent, std::string name) : COEMConfigNode(parent, std::move(name), false)
{
}

void COEMConfigValue::Reset()
{
    data.reset();
    text.clear();
    number = 0;
}

void COEMConfigValue::SetString(const std::string& value)
{
    Reset();
    kind = OEMValueKind::String;
    text = value.substr(0, value.find('\0'));
}

void COEMConfigValue::SetInt(int32_t value)
{
    Reset();
    kind = OEMValueKind::Integer;
    number = value;
}

void COEMConfigValue::SetBool(bool value)
{
    Reset();
    kind = OEMValueKind::Boolean;
    number = value ? 1 : 0;
}

void COEMConfigValue::SetData(const void* block, uint32_t length)
{
    Reset();
    kind = OEMValueKind::Data;
    number = static_cast<int32_t>(length);
    if (length > 0) {
        data = std::make_unique<uint8_t[]>(length);
        memcpy(data.get(), block, length);
    }
}

// ---- the file --------------------------------------------------------------

namespace {

enum NodeKind : uint16_t { KindGroup = 0, KindString = 1, KindInteger = 2, KindBoolean = 3, KindData = 4 };

std::string UpToNul(const std::string& bytes)
{
    return bytes.substr(0, bytes.find('\0'));
}

bool ReadNodes(OEMByteReader& reader, COEMConfigGroup& parent, uint16_t count, int depth);

bool ReadNode(OEMByteReader& reader, COEMConfigGroup& parent, int depth)
{
    uint16_t kind = 0, nameLength = 0;
    std::string name;
    if (!reader.ReadU16(kind) || !reader.ReadU16(nameLength) || !reader.ReadBytes(nameLength, name))
        return false;
    name = UpToNul(name);
    if (kind == KindGroup) {
        uint16_t childCount = 0;
        if (depth >= COEMConfig::MaxNestingDepth || !reader.ReadU16(childCount))
            return false;
        return ReadNodes(reader, *parent.AddGroup(name), childCount, depth + 1);
    }
    if (kind > KindData)
        return false;
    COEMConfigValue* value = parent.AddValue(name);
    switch (kind) {
    case KindString: {
        uint16_t length = 0;
        std::string text;
        if (!reader.ReadU16(length) || !reader.ReadBytes(length, text))
            return false;
        value->SetString(text);
        return true;
    }
    case KindInteger: {
        uint32_t number = 0;
        if (!reader.ReadU32(number))
            return false;
        value->SetInt(static_cast<int32_t>(number));
        return true;
    }
    case KindBoolean: {
        uint8_t flag = 0;
        if (!reader.ReadU8(flag))
            return false;
        value->SetBool(flag != 0);
        return true;
    }
    default: {
        uint32_t length = 0;
        std::string bytes;
        if (!reader.ReadU32(length) || !reader.ReadBytes(length, bytes))
            return false;
        value->SetData(bytes.data(), length);
        return true;
    }
    }
}

bool ReadNodes(OEMByteReader& reader, COEMConfigGroup& parent, uint16_t count, int depth)
{
    for (uint16_t i = 0; i < count; ++i)
        if (!ReadNode(reader, parent, depth))
            return false;
    return true;
}

void WriteName(OEMByteWriter& writer, uint16_t kind, const std::string& name)
{
    writer.WriteU16(kind);
    writer.WriteU16(static_cast<uint16_t>(name.size()));
    writer.WriteRaw(name.data(), name.size());
}

bool WriteNodes(OEMByteWriter& writer, const COEMConfigGroup& group)
{
    if (group.Children().size() > 0xFFFF)
        return false;
    writer.WriteU16(static_cast<uint16_t>(group.Children().size()));
    for (const auto& child : group.Children()) {
        if (child->GetName().size() > 0xFFFF)
            return false;
        if (child->IsGroup()) {
            WriteName(writer, KindGroup, child->GetName());
            if (!WriteNodes(writer, static_cast<const COEMConfigGroup&>(*child)))
                return false;
            continue;
        }
        const auto& value = static_cast<const COEMConfigValue&>(*child);
        WriteName(writer, static_cast<uint16_t>(value.GetKind()), value.GetName());
        switch (value.GetKind()) {
        case OEMValueKind::String:
            if (value.GetString().size() > 0xFFFF)
                return false;
            writer.WriteU16(static_cast<uint16_t>(value.GetString().size()));
            writer.WriteRaw(value.GetString().data(), value.GetString().size());
            break;
        case OEMValueKind::Integer:
            writer.WriteU32(static_cast<uint32_t>(value.GetInt()));
            break;
        case OEMValueKind::Boolean:
            writer.WriteU8(value.GetBool() ? 1 : 0);
            break;
        case OEMValueKind::Data:
            writer.WriteU32(value.GetDataSize());
            writer.WriteRaw(value.GetData(), value.GetDataSize());
            break;
        }
    }
    return writer.Good();
}

}  // namespace

COEMConfig::COEMConfig() : COEMConfigGroup(nullptr, std::string()) {}

bool COEMConfig::Load(std::istream& in)
{
    OEMByteReader reader(in);
    uint32_t magic = 0, version = 0;
    if (!reader.ReadU32(magic) || magic != Magic || !reader.ReadU32(version) || version != Version)
        return false;
    Clear();
    uint16_t count = 0;
    if (!reader.ReadU16(count))
        return false;
    if (!ReadNodes(reader, *this, count, 0)) {
        Clear();
        return false;
    }
    uint32_t endMagic = 0;
    return reader.ReadU32(endMagic) && endMagic == Magic;
}

bool COEMConfig::Save(std::ostream& out) const
{
    OEMByteWriter writer(out);
    writer.WriteU32(Magic);
    writer.WriteU32(Version);
    if (!WriteNodes(writer, *this))
        return false;
    writer.WriteU32(Magic);
    out.flush();
    return writer.Good();
}

COEMConfigValue* COEMConfig::FindValue(const std::string& path)
{
    COEMConfigNode* node = FindNode(path);
    return node && !node->IsGroup() ? static_cast<COEMConfigValue*>(node) : nullptr;
}

COEMConfigValue& COEMConfig::GetValue(const std::string& path)
{
    if (COEMConfigValue* value = FindValue(path))
        return *value;
    std::string message = "Missing OEM value : " + GetPath() + "/" + path;
    OutputDebugStringA(message.c_str());
    MessageBoxA(nullptr, message.c_str(), "OEM Error", MB_ICONERROR);
    ExitProcess(1);
}

COEMConfig& OEMConfig()
{
    static COEMConfig config;
    return config;
}
