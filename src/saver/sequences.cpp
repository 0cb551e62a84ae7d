#include "saver/sequences.h"

#include <algorithm>
#include <memory>
#include <optional>
#include <vector>

#include "runtime/conversions.h"
#include "runtime/random.h"
#include "os/files.h"
#include "saver/ss_module.h"
#include "settings/settings.h"

float SeqPlanes[SeqSlots];
float SeqSteps[SeqSlots];
std::string SeqName[SeqSlots];
SeqPoint SeqStart[SeqSlots][PlaneSlots];
float StepIdx[PlaneSlots];
float SeqNo = 0.0f;
float LastSeq = 0.0f;

namespace {

SeqMove gMoves[SeqSlots][PlaneSlots][SeqStepSlots];

// A whole record as read, before it is stored.
struct Record {
    float planes = 0.0f;
    float steps = 0.0f;
    std::string name;
    SeqPoint start[PlaneSlots];
    SeqMove moves[PlaneSlots][SeqStepSlots];  // [p][k + 1]
};

// Highest plane index, within the arrays; records are checked when read, so this only
// guards against values set from elsewhere.
int LastPlaneOf(int s) {
    return std::clamp<int>(runtime::RoundToInt16(SeqPlanes[s]), 0, PlaneSlots - 1);
}

int LastStepOf(int s) {
    return std::min<int>(runtime::RoundToInt16(SeqSteps[s]), SeqMaxStepIndex);
}

std::optional<double> ReadNumber(os::FieldReader& reader) {
    double value = 0.0;
    if (!reader.ReadNumber(value)) return std::nullopt;
    return value;
}

std::optional<std::int16_t> ReadInt16(os::FieldReader& reader) {
    const auto value = ReadNumber(reader);
    if (!value) return std::nullopt;
    return runtime::TryRoundToInt16(*value);
}

// x / 1000 of the screen size, its integer part in pixels; nothing beyond 16 bits.
std::optional<std::int16_t> ThousandthsToPixels(std::int16_t thousandths, std::int16_t size) {
    return runtime::TryRoundToInt16(runtime::IntegerPart(thousandths / 1000.0 * size));
}

// Reads one record; nothing when the input ends inside it or a field breaks the limits.
bool ReadRecord(os::FieldReader& reader, Record& record) {
    const auto planes = ReadNumber(reader);
    const auto steps = ReadNumber(reader);
    if (!planes || !steps || !reader.ReadText(record.name)) return false;
    record.planes = static_cast<float>(*planes);
    record.steps = static_cast<float>(*steps);
    const auto lastPlane = runtime::TryRoundToInt16(record.planes);
    const auto lastStep = runtime::TryRoundToInt16(record.steps);
    // A plane field below 0 would leave no plane to end the sequence.
    if (!lastPlane || *lastPlane < 0 || *lastPlane > PlaneSlots - 1) return false;
    if (!lastStep || *lastStep > SeqMaxStepIndex) return false;

    for (int p = 0; p <= *lastPlane; ++p) {
        const auto x = ReadInt16(reader);
        const auto y = ReadInt16(reader);
        if (!x || !y) return false;
        const auto px = ThousandthsToPixels(*x, ScreenW);
        const auto py = ThousandthsToPixels(*y, ScreenH);
        if (!px || !py) return false;
        record.start[p] = SeqPoint{*px, *py};
    }
    for (int k = 0; k <= *lastStep; ++k) {
        for (int p = 0; p <= *lastPlane; ++p) {
            const auto dir = ReadNumber(reader);
            if (!dir) return false;
            const float d = static_cast<float>(*dir);
            if (!(d >= 0.0f && d <= DirectionCount - 1)) return false;
            const auto count = ReadInt16(reader);
            if (!count) return false;
            SeqMove& move = record.moves[p][k + 1];
            move.Dir = d;
            move.TicksLeft = *count;
            move.Count = move.TicksLeft;
        }
    }
    return true;
}

void StoreRecord(int s, const Record& record) {
    SeqPlanes[s] = record.planes;
    SeqSteps[s] = record.steps;
    SeqName[s] = record.name;
    for (int p = 0; p < PlaneSlots; ++p) {
        SeqStart[s][p] = record.start[p];
        std::copy(std::begin(record.moves[p]), std::end(record.moves[p]),
                  std::begin(gMoves[s][p]));
    }
}

void ClearAll() {
    const Record empty;
    for (int s = 0; s < SeqSlots; ++s) StoreRecord(s, empty);
    std::fill(std::begin(StepIdx), std::end(StepIdx), 0.0f);
    SeqNo = 0.0f;
}

}  // namespace

SeqMove& SeqMoves(int s, int p, int k) {
    return gMoves[std::clamp(s, 0, SeqSlots - 1)][std::clamp(p, 0, PlaneSlots - 1)]
                 [std::clamp(k + 1, 0, SeqStepSlots - 1)];
}

void LoadSequencesFrom(os::FieldReader& reader) {
    ClearAll();
    // One record is built aside (it is large) and stored only once it is complete.
    auto record = std::make_unique<Record>();
    int loaded = 0;
    while (!reader.AtEnd() && loaded < SeqMaxRecords) {
        *record = Record{};
        if (!ReadRecord(reader, *record)) break;
        StoreRecord(loaded, *record);
        ++loaded;
    }
    SeqNo = static_cast<float>(loaded);
    LastSeq = static_cast<float>(loaded - 1);
}

void LoadSequencesFromFile(const std::string& path) {
    ClearAll();
    LastSeq = -1.0f;
    if (!os::IsOrdinaryFile(path)) return;
    auto reader = os::FieldReader::OpenFile(path);
    if (!reader) return;
    LoadSequencesFrom(*reader);
}

void LoadSequences() {
    const auto path = os::ResolveFileName(IniFileName, {os::ProgramFolder()});
    if (!path) {
        ClearAll();
        LastSeq = -1.0f;
        return;
    }
    LoadSequencesFromFile(*path);
}

void StartSequence(const SequenceStage& stage) {
    if (LastSeq < 0.0f) return;
    const int count = static_cast<int>(LastSeq) + 1;
    const int s = std::clamp(static_cast<int>(runtime::IntegerPart(runtime::Rnd() * count)), 0,
                             count - 1);
    SeqNo = static_cast<float>(s);
    SeqActive = -1;
    const int lastStep = LastStepOf(s);
    for (int p = 0; p <= LastPlaneOf(s); ++p) {
        StepIdx[p] = -1.0f;
        SeqMoves(s, p, -1).TicksLeft = 0;
        Planes[p].X = SeqStart[s][p].X;
        Planes[p].Y = SeqStart[s][p].Y;
        for (int k = 0; k <= lastStep; ++k) SeqMoves(s, p, k).TicksLeft = SeqMoves(s, p, k).Count;
    }
    StepSequence(stage);
}

void StepSequence(const SequenceStage& stage) {
    const int s = static_cast<int>(SeqNo);
    if (LastSeq < 0.0f || s < 0 || s > static_cast<int>(LastSeq)) {
        SeqActive = 0;  // nothing loaded to run
        return;
    }
    const int lastPlane = LastPlaneOf(s);
    for (int p = 0; p <= lastPlane; ++p) {
        PlaneRecord& plane = Planes[p];
        const int k = std::clamp(static_cast<int>(StepIdx[p]), -1, SeqStepSlots - 2);
        SeqMove& current = SeqMoves(s, p, k);
        if (current.TicksLeft > 0) {
            --current.TicksLeft;
        } else {
            StepIdx[p] = static_cast<float>(k + 1);
            plane.Dir = SeqMoves(s, p, k + 1).Dir;
            plane.SrcX = SpriteOffset(plane.Dir);
            // Past the last step (slot 100 at the latest): the sequence is over for all.
            if (StepIdx[p] > SeqSteps[s] || k + 1 >= SeqStepSlots - 2) {
                EndSequence(stage);
                return;
            }
        }
        MovePlaneRecord(plane, stage.bounds);
        DrawPlane(stage.backBuffer, stage.sprite, plane);
    }
}

void EndSequence(const SequenceStage& stage) {
    PlaceFormation();
    if (stage.setEventInterval) stage.setEventInterval(1);
    SeqActive = 0;
}
