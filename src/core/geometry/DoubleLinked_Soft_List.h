#pragma once

#include <array>
#include <cstdint>

#include "geometry/Vector.h"

namespace tessarin {

// Circular doubly linked list of up to 15 vectors kept in a fixed array of nodes; it never
// allocates. Indices are node positions in the array; an index that is out of range or
// names a free node is "not in the list" and every operation treats it safely.
class DoubleLinked_Soft_List {
public:
    static constexpr std::int32_t kCapacity = 15;

    // One array slot; it is free when both next and prev are -1.
    struct Node {
        std::int32_t next = -1;
        std::int32_t prev = -1;
        Vector value;
    };

    // Appends v after the tail; returns its node index, or -1 (list unchanged) when full.
    std::int32_t Add(Vector v);
    // Stores v in the first free node and links it after node i; returns its index, or -1
    // when the list is full or i is not in the list. In an empty list i is not used.
    std::int32_t InsertAfter(std::int32_t i, Vector v);
    // Unlinks node i and frees it; does nothing when i is not in the list.
    void Remove(std::int32_t i);

    std::int32_t Head() const { return head; }
    std::int32_t Tail() const { return tail; }
    std::int32_t Count() const { return count; }
    // Node after i round the circle; -1 when i is not in the list (always so when empty).
    std::int32_t Next(std::int32_t i) const;
    // Node before i round the circle; -1 when i is not in the list (always so when empty).
    std::int32_t Prev(std::int32_t i) const;
    // Value of node i; (0, 0) when i is not in the list.
    Vector Item(std::int32_t i) const;

private:
    bool contains(std::int32_t i) const;
    std::int32_t firstFree() const;
    void linkAfter(std::int32_t i, std::int32_t n);

    std::array<Node, kCapacity> nodes{};
    std::int32_t count = 0;
    std::int32_t head = 0;
    std::int32_t tail = 0;
};

static_assert(sizeof(DoubleLinked_Soft_List::Node) == 16);
static_assert(sizeof(DoubleLinked_Soft_List) == DoubleLinked_Soft_List::kCapacity * 16 + 12);

}  // namespace tessarin
