// Mutations of skin streams, shared by the fuzz target and the hostile-skin test: a stream is
// unpacked, the container inside mutated (mostly one entry of it) and packed again, so that
// mutations reach past the packed bits into the container, the description and the images.
// The byte-level mutation is the caller's (libFuzzer's in the fuzz target); the rules here add
// what a byte mutator seldom finds: description values out of every range, image names that
// are not in the container, images taken out, emptied, cut short or with broken headers.
#pragma once

#include <cstdint>
#include <functional>
#include <random>
#include <vector>

#include "SkinPack.h"

// Changes bytes in place; the size may change.
using TByteMutator = std::function<void(std::vector<uint8_t>& bytes)>;

// The container a stream holds; empty when its packed bits do not unpack.
std::vector<uint8_t> UnpackSkinStream(const std::vector<uint8_t>& stream);

// The entries of a container whose parts add up exactly; false for any other.
bool SplitContainer(const std::vector<uint8_t>& container, std::vector<TSkinEntry>& entries);

// One value of a description (the text after "=" on a line) replaced by one that lies outside
// what a skin means: sizes, margins and frame counts far out of range or negative, colours of
// numbers too large, image names the container does not hold, nothing at all.
void MutateDescriptionValue(std::vector<uint8_t>& text, std::minstd_rand& random);

// The stream mutated: mostly its container, packed again; one time in eight, and whenever it
// does not unpack to a container of a useful size or its entries cannot be packed again, the
// packed bits themselves.
std::vector<uint8_t> MutateSkinStream(const std::vector<uint8_t>& stream, std::minstd_rand& random,
                                      const TByteMutator& mutate);
