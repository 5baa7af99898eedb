// Models, comparisons and byte surgery shared by the model file tests.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "kernel/queuing_system.h"

namespace marvolt::test {

// Two request types, a generator, a queue, a channel and the refusal sink:
// the model of tests/data/small_model.qsf.hex.
std::unique_ptr<CQueuingSystem> SmallModel();

// Every node kind more than once, three request types, failures with a
// reserve, a transformation table, priorities, waiting-time laws, collected
// distributions and a factor experiment's dependencies. With results, a run
// has filled every indicator.
std::unique_ptr<CQueuingSystem> RichModel(bool withResults);

// Every stored field of both models, node by node and type by type. A slot the
// file stores without a distribution compares equal to a fresh one.
void ExpectSameModel(const CQueuingSystem& expected, const CQueuingSystem& actual);

std::vector<uint8_t> Bytes(const CQueuingSystem& current, const CQueuingSystem* results = nullptr);

// The bytes of an annotated hex file of tests/data.
std::vector<uint8_t> HexFile(const std::string& name);

// Position of the n-th occurrence (from 0) of a tag at or after from; npos when absent.
size_t FindTag(const std::vector<uint8_t>& bytes, const char* tag, size_t from = 0, int n = 0);
// Removes the first occurrence of the tag at or after from with dataSize bytes of data.
void RemoveItem(std::vector<uint8_t>& bytes, const char* tag, size_t dataSize, size_t from = 0);
void PutU32(std::vector<uint8_t>& bytes, size_t at, uint32_t v);

// With MARVOLT_SEED_DIR set, keeps the bytes there as a seed for the fuzzer.
void KeepAsSeed(const std::string& name, const std::vector<uint8_t>& bytes);

}  // namespace marvolt::test
