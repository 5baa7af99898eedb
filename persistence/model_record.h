// The model record and the records it is made of.
#pragma once

#include <memory>

#include "kernel/queuing_system.h"
#include "kernel/record_io.h"

namespace marvolt {

// Most dependencies a file may hold; the list checks every new entry against
// all earlier ones, so an unbounded count would stall the reader.
constexpr uint32_t kDependencyLimit = 16384;

void WriteModelRecord(const CQueuingSystem& model, RecordWriter& out);
// A new model, or null when the record is damaged: a tag out of place, the
// data running out, a count or index beyond what the model holds, a node whose
// two kind bytes differ.
std::unique_ptr<CQueuingSystem> ReadModelRecord(RecordReader& in);

void WriteRequestType(const CRequestType& type, RecordWriter& out);
bool ReadRequestType(CRequestType& type, RecordReader& in);

void WriteFactor(const FactorSettings& f, RecordWriter& out);
bool ReadFactor(FactorSettings& f, RecordReader& in);

void WriteDependencies(const CDependsVector& d, RecordWriter& out);
// Node and type indices are checked against the model's counts.
bool ReadDependencies(CDependsVector& d, RecordReader& in, size_t nodeCount, size_t typeCount);

}  // namespace marvolt
