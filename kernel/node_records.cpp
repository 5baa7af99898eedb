// The node records of the model file.
#include "kernel/channel.h"
#include "kernel/generator.h"
#include "kernel/queue.h"
#include "kernel/sink.h"

namespace marvolt {

void CGenerator::Write(RecordWriter&) const {}
bool CGenerator::Read(RecordReader&) { return false; }
void CChannel::Write(RecordWriter&) const {}
bool CChannel::Read(RecordReader&) { return false; }
void CQueue::Write(RecordWriter&) const {}
bool CQueue::Read(RecordReader&) { return false; }
void CDispose::Write(RecordWriter&) const {}
bool CDispose::Read(RecordReader&) { return false; }

}  // namespace marvolt
