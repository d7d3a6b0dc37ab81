// The contact search between sibling objects the way it was first written, trying every pair in
// sibling order, kept as the reference that the program's search must agree with entry for entry;
// and the contacts of a whole tree taken down, cleared and compared.
#pragma once

#include <gtest/gtest.h>

#include <vector>

#include "model/model_object.h"
#include "model/object_geometry.h"

namespace pairwise {

// The node's objects with records (the node itself, or a group's members) compared with each of
// the first `present` children of `parent` (groups opened) other than themselves.
inline void Search(ModelObject* parent, int32_t present, ModelObject* node)
{
    if (node->IsGroup()) {
        for (int32_t i = 0; i < node->ChildCount(); ++i) Search(parent, present, node->ChildAt(i));
        return;
    }
    for (int32_t i = 0; i < present; ++i) {
        ModelObject* child = parent->ChildAt(i);
        if (child->IsGroup()) {
            Search(child, child->ChildCount(), node);
        } else if (child != node) {
            node->ComputeContactsWith(child);
        }
    }
}

// The contacts the reader makes: under every object that is not a group, its children join it
// one after another (a group's members join it before it has a place, and are compared when it
// joins its parent).
inline void SearchAsRead(ModelObject* node)
{
    if (!node->IsGroup()) {
        for (int32_t k = 0; k < node->ChildCount(); ++k) Search(node, k + 1, node->ChildAt(k));
    }
    for (int32_t i = 0; i < node->ChildCount(); ++i) SearchAsRead(node->ChildAt(i));
}

// Every record's contact list under the node, in tree order.
inline void Take(const ModelObject* node, std::vector<std::vector<ContactEntry>>* lists)
{
    for (int32_t i = 0; i < node->GeometryCount(); ++i) {
        const ObjectGeometry* record = node->GeometryAt(i);
        std::vector<ContactEntry> list;
        for (int32_t k = 0; k < record->ContactCount(); ++k) list.push_back(record->ContactAt(k));
        lists->push_back(list);
    }
    for (int32_t i = 0; i < node->ChildCount(); ++i) Take(node->ChildAt(i), lists);
}

inline void Clear(ModelObject* node)
{
    for (int32_t i = 0; i < node->GeometryCount(); ++i) node->GeometryAt(i)->ClearContacts();
    for (int32_t i = 0; i < node->ChildCount(); ++i) Clear(node->ChildAt(i));
}

// The same partners, points and normals in the same order. Returns the number of entries.
inline int64_t ExpectSame(const std::vector<std::vector<ContactEntry>>& found,
                          const std::vector<std::vector<ContactEntry>>& expected)
{
    int64_t entries = 0;
    EXPECT_EQ(found.size(), expected.size());
    for (size_t r = 0; r < found.size() && r < expected.size(); ++r) {
        SCOPED_TRACE("record " + std::to_string(r));
        EXPECT_EQ(found[r].size(), expected[r].size());
        for (size_t k = 0; k < found[r].size() && k < expected[r].size(); ++k) {
            EXPECT_EQ(found[r][k].OtherNumber, expected[r][k].OtherNumber);
            EXPECT_EQ(found[r][k].Point, expected[r][k].Point);
            EXPECT_EQ(found[r][k].Normal, expected[r][k].Normal);
        }
        entries += int64_t(found[r].size());
    }
    return entries;
}

// The tree's contacts as found, then cleared and found again by the reference as the reader would
// have: both must be the same. Returns the number of entries.
inline int64_t ExpectReaderContacts(ModelObject* root)
{
    std::vector<std::vector<ContactEntry>> found, expected;
    Take(root, &found);
    Clear(root);
    SearchAsRead(root);
    Take(root, &expected);
    return ExpectSame(found, expected);
}

}  // namespace pairwise
