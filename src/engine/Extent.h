#pragma once
// A run of clusters on a volume, and the ordered runs of one analysed window.
#include <cstddef>
#include <cstdint>
#include <vector>

struct Extent {
    int64_t StartCluster = 0;  // logical cluster number
    int64_t Clusters = 0;
};

// Runs in ascending cluster order. A run that cannot be placed whole is split
// in place: its second half is inserted right after it.
class ExtentArray {
public:
    void Clear() { items.clear(); }
    void Add(const Extent& extent) { items.push_back(extent); }
    void InsertAfter(size_t index, const Extent& extent)
    {
        items.insert(items.begin() + static_cast<std::ptrdiff_t>(index) + 1, extent);
    }
    size_t Count() const { return items.size(); }
    bool Empty() const { return items.empty(); }
    Extent& operator[](size_t index) { return items[index]; }
    const Extent& operator[](size_t index) const { return items[index]; }

private:
    std::vector<Extent> items;
};
