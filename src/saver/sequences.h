// Scripted formation sequences: up to 20 flight plans read once from the sequence file,
// each moving up to ten planes step by step; a sequence runs in place of the formation
// until its first plane has finished its last step.
//
// The file is one stream of comma- and line-separated fields, record after record:
//   P, S, name                  highest plane index (0 to 9), highest step index (to 99)
//   x, y  (P + 1 times)         start point of each plane, in thousandths of the screen
//   d, c  ((S + 1) x (P + 1))   per step, per plane: direction 0 to 7, count (c + 1 ticks)
// Reading stops at the first record that breaks these limits, is cut short or does not
// fit 16 bits; the records read completely before it are kept.
#pragma once

#include <cstdint>
#include <functional>
#include <string>

#include "os/field_input.h"
#include "os/types.h"
#include "saver/light_layout.h"
#include "saver/planes.h"

inline constexpr int SeqSlots = 21;        // array indexes 0 to 20
inline constexpr int SeqMaxRecords = 20;   // records 0 to 19 are loaded
inline constexpr int SeqMaxStepIndex = 99; // steps 0 to 99
inline constexpr int SeqStepSlots = 102;   // slots -1 (before step 0) to 100 (after 99)

struct SeqMove {
    float Dir = 0.0f;             // direction of the step
    std::int16_t TicksLeft = 0;   // ticks still left while a plane is in the step
    std::int16_t Count = 0;       // the count as read
};

struct SeqPoint {
    std::int16_t X = 0;  // pixels
    std::int16_t Y = 0;
};

extern float SeqPlanes[SeqSlots];       // P of each record
extern float SeqSteps[SeqSlots];        // S of each record
extern std::string SeqName[SeqSlots];
extern SeqPoint SeqStart[SeqSlots][PlaneSlots];
extern float StepIdx[PlaneSlots];  // the step slot each plane is in (-1 before step 0)
extern float SeqNo;                // record counter while loading, then the running one
extern float LastSeq;              // loaded records minus 1; -1 when none

// Step slot k (-1 to 100) of plane p of sequence s; indexes outside the arrays are a
// programming error and are clamped to the nearest slot.
SeqMove& SeqMoves(int s, int p, int k);

// Reads the sequence file (IniFileName in the program's folder, its name matched without
// regard to letter case). No file, or one that cannot be read: no sequence.
void LoadSequences();
// Reads the sequence file at path; a path that is not an ordinary file loads nothing.
void LoadSequencesFromFile(const std::string& path);
// Reads records from reader, with start points scaled to ScreenW by ScreenH.
void LoadSequencesFrom(os::FieldReader& reader);

// What the player needs of the saver window.
struct SequenceStage {
    os::HDC backBuffer = 0;  // the frame being composed
    os::HDC sprite = 0;      // the sprite sheet
    WrapBounds bounds;
    std::function<void(std::int32_t)> setEventInterval;  // milliseconds; may be empty
};

// Picks a loaded sequence at random, puts its planes at their start points and runs its
// first tick. Nothing when no sequence is loaded.
void StartSequence(const SequenceStage& stage);
// One tick of the running sequence: each plane counts down or enters its next step,
// moves, flips its frame, wraps and is drawn into the back buffer. The first plane to
// pass its last step ends the sequence at once.
void StepSequence(const SequenceStage& stage);
// A new formation, the next event almost at once, no sequence running.
void EndSequence(const SequenceStage& stage);
