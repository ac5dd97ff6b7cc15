#include "geometry/DoubleLinked_Soft_List.h"

namespace tessarin {

std::int32_t DoubleLinked_Soft_List::Add(Vector v) { return InsertAfter(tail, v); }

std::int32_t DoubleLinked_Soft_List::InsertAfter(std::int32_t i, Vector v) {
    if (count > 0 && !contains(i)) return -1;
    const std::int32_t n = firstFree();
    if (n < 0) return -1;
    nodes[n].value = v;
    linkAfter(i, n);
    return n;
}

void DoubleLinked_Soft_List::Remove(std::int32_t i) {
    if (!contains(i)) return;
    Node& node = nodes[i];
    if (i == head) head = node.next;
    if (i == tail) tail = node.prev;
    nodes[node.prev].next = node.next;
    nodes[node.next].prev = node.prev;
    node.next = -1;
    node.prev = -1;
    --count;
}

std::int32_t DoubleLinked_Soft_List::Next(std::int32_t i) const { return contains(i) ? nodes[i].next : -1; }

std::int32_t DoubleLinked_Soft_List::Prev(std::int32_t i) const { return contains(i) ? nodes[i].prev : -1; }

Vector DoubleLinked_Soft_List::Item(std::int32_t i) const { return contains(i) ? nodes[i].value : Vector{}; }

bool DoubleLinked_Soft_List::contains(std::int32_t i) const {
    if (i < 0 || i >= kCapacity) return false;
    return nodes[i].next != -1 || nodes[i].prev != -1;
}

std::int32_t DoubleLinked_Soft_List::firstFree() const {
    for (std::int32_t i = 0; i < kCapacity; ++i) {
        if (nodes[i].next == -1 && nodes[i].prev == -1) return i;
    }
    return -1;
}

void DoubleLinked_Soft_List::linkAfter(std::int32_t i, std::int32_t n) {
    Node& node = nodes[n];
    if (count == 0) {
        // n is node 0 here: an empty list has every node free.
        head = n;
        tail = n;
        node.next = n;
        node.prev = n;
    } else if (i == tail) {
        node.prev = tail;
        node.next = head;
        nodes[tail].next = n;
        nodes[head].prev = n;
        tail = n;
    } else {
        const std::int32_t after = nodes[i].next;
        node.prev = i;
        node.next = after;
        nodes[i].next = n;
        nodes[after].prev = n;
    }
    ++count;
}

}  // namespace tessarin
