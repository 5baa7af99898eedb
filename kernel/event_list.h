// The future-event set: nodes ordered by the time their NextEventTime reports.
#pragma once

#include <cstdint>
#include <memory>
#include <vector>

namespace marvolt {

class CQSObject;

class CEventList {
  public:
    static constexpr uint8_t kNone = 255;

    uint8_t size = 0;
    uint8_t nonEmpty = 0;
    uint8_t head = 0;
    uint8_t tail = 0;
    const std::unique_ptr<CQSObject>* nodes = nullptr;  // the model's node array, not owned
    std::vector<uint8_t> next;
    std::vector<uint8_t> prev;

    void Build(uint8_t nodeCount, const std::unique_ptr<CQSObject>* nodeArray);
    void Clear();
    CQSObject* Head() const { return nodes[head].get(); }
    bool Contains(uint8_t p) const { return p < next.size() && next[p] != kNone; }

    void Add(uint8_t p);
    void Remove(uint8_t p);
    void MovedEarlier(uint8_t p);
    void HeadChanged();

  private:
    double TimeOf(uint8_t p) const;
    void Unlink(uint8_t p);
    void LinkAfter(uint8_t p, uint8_t e);
};

}  // namespace marvolt
