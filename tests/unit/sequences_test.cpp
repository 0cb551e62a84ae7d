#include "saver/sequences.h"

#include <gtest/gtest.h>

#include <deque>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <unistd.h>

#include "runtime/random.h"
#include "os/files.h"
#include "os/gdi.h"
#include "os/surface.h"
#include "saver/light_layout.h"
#include "saver/planes.h"
#include "saver/ss_module.h"
#include "settings/settings.h"
#include "support/planes_state.h"
#include "support/scripted_draws.h"
#include "support/temp_dir.h"

namespace {

using tavro_test::ScriptedDraws;

constexpr std::uint32_t kBackground = 0x00FFFFFF;
std::uint32_t ColumnColour(int column) { return 0x00100000u + static_cast<std::uint32_t>(column); }

const char* const kCross = "1, 1, Cross\r\n100, 200, 900, 200\r\n3, 40, 7, 40\r\n2, 20, 0, 20\r\n";

class SequencesTest : public ::testing::Test {
protected:
    SequencesTest()
        : backBuffer_(1024, 768, kBackground), sheet_(1607, 602, 0) {
        // Image rows: each column in its own colour; mask row: black, clearing the cell.
        for (int y = 0; y < 401; ++y)
            for (int x = 0; x < 1607; ++x) sheet_.row(y)[x] = ColumnColour(x / 201);
        sheet_.NoteWritten(sheet_.bounds());
    }
    void SetUp() override {
        tavro_test::ResetPlanes();
        {
            ScriptedDraws frames({0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f, 0.1f});
            InitPlaneTables(2);
        }
        stage_.backBuffer = os::CreateSurfaceDC(&backBuffer_);
        stage_.sprite = os::CreateSurfaceDC(&sheet_);
        stage_.bounds = ComputeLightLayout(1024, 768, ModeSaver, 638, 389).Wrap;
        stage_.setEventInterval = [this](std::int32_t ms) { intervals_.push_back(ms); };
    }
    void TearDown() override {
        os::DeleteSurfaceDC(stage_.backBuffer);
        os::DeleteSurfaceDC(stage_.sprite);
        runtime::SetRandomSource(nullptr);
    }

    static void Load(const std::string& text) {
        auto reader = os::FieldReader::FromText(text);
        LoadSequencesFrom(reader);
    }
    void ClearBackBuffer() {
        for (int y = 0; y < backBuffer_.height(); ++y)
            for (int x = 0; x < backBuffer_.width(); ++x) backBuffer_.row(y)[x] = kBackground;
        backBuffer_.NoteWritten(backBuffer_.bounds());
    }
    // The colour at the centre of plane p's cell.
    std::uint32_t CentreOf(int p) const {
        return backBuffer_.pixel(Planes[p].X + 100, Planes[p].Y + 100);
    }
    // Runs frame ticks until the sequence ends; the number of ticks, or -1 past maxTicks.
    int TicksToEnd(int maxTicks) {
        for (int tick = 1; tick <= maxTicks; ++tick) {
            if (SeqActive == 0) return tick - 1;
            StepSequence(stage_);
        }
        return SeqActive == 0 ? maxTicks : -1;
    }

    os::Surface backBuffer_;
    os::Surface sheet_;
    SequenceStage stage_;
    std::vector<std::int32_t> intervals_;
};

TEST_F(SequencesTest, WorkedExampleLoads) {
    Load(kCross);
    EXPECT_EQ(LastSeq, 0.0f);
    EXPECT_EQ(SeqPlanes[0], 1.0f);
    EXPECT_EQ(SeqSteps[0], 1.0f);
    EXPECT_EQ(SeqName[0], "Cross");
    EXPECT_EQ(SeqStart[0][0].X, 102);
    EXPECT_EQ(SeqStart[0][0].Y, 153);
    EXPECT_EQ(SeqStart[0][1].X, 921);
    EXPECT_EQ(SeqStart[0][1].Y, 153);
    EXPECT_EQ(SeqMoves(0, 0, 0).Dir, 3.0f);
    EXPECT_EQ(SeqMoves(0, 1, 0).Dir, 7.0f);
    EXPECT_EQ(SeqMoves(0, 0, 1).Dir, 2.0f);
    EXPECT_EQ(SeqMoves(0, 1, 1).Dir, 0.0f);
    EXPECT_EQ(SeqMoves(0, 0, 0).Count, 40);
    EXPECT_EQ(SeqMoves(0, 1, 1).TicksLeft, 20);
}

TEST_F(SequencesTest, WorkedExampleRunsAndEnds) {
    Settings.PlaneNum = 0;  // the sequence flies its own two planes regardless
    Load(kCross);
    {
        ScriptedDraws pick({0.3f});
        StartSequence(stage_);  // tick 1
    }
    EXPECT_EQ(SeqActive, -1);
    EXPECT_EQ(SeqNo, 0.0f);
    EXPECT_EQ(Planes[0].X, 104);
    EXPECT_EQ(Planes[1].X, 919);
    EXPECT_EQ(Planes[0].SrcX, 603);
    EXPECT_EQ(Planes[1].SrcX, 1407);
    for (int tick = 2; tick <= 62; ++tick) {
        StepSequence(stage_);
        if (tick == 41) {
            EXPECT_EQ(Planes[0].SrcX, 603);
        }
        if (tick == 42) {
            EXPECT_EQ(Planes[0].SrcX, 402);
            EXPECT_EQ(Planes[1].SrcX, 0);
        }
    }
    EXPECT_EQ(SeqActive, -1);
    EXPECT_EQ(Planes[0].X, 226);
    EXPECT_EQ(Planes[0].Y, 195);
    EXPECT_EQ(Planes[1].X, 797);
    EXPECT_EQ(Planes[1].Y, 195);
    EXPECT_TRUE(intervals_.empty());
    {
        ScriptedDraws corner({0.0f, 0.0f, 0.0f});  // a = 0, b = 0, direction 0
        StepSequence(stage_);                        // tick 63
        EXPECT_EQ(corner.left(), 0u);
    }
    EXPECT_EQ(SeqActive, 0);
    EXPECT_EQ(intervals_, (std::vector<std::int32_t>{1}));
    EXPECT_EQ(Planes[0].X, 0);    // the new formation
    EXPECT_EQ(Planes[0].Y, 200);
    EXPECT_EQ(Planes[3].X, -250);

    // Played again, every step has its whole count back: the same 63 ticks, same path.
    {
        ScriptedDraws again({0.3f}, false);
        StartSequence(stage_);  // tick 1
        EXPECT_EQ(Planes[0].X, 104);
        EXPECT_EQ(TicksToEnd(200), 62);
    }
}

TEST_F(SequencesTest, PlanesAreDrawnInOrderWithTheMaskRow) {
    // Ten planes: planes 8 and 9 start on the same point, 9 must show in front.
    std::string text = "9, 0, Ten\n";
    for (int p = 0; p < 8; ++p) text += std::to_string(p * 100) + ", 0\n";
    text += "500, 500\n500, 500\n";
    for (int p = 0; p < 9; ++p) text += "1, 5\n";
    text += "3, 5\n";
    Load(text);
    ASSERT_EQ(LastSeq, 0.0f);
    ClearBackBuffer();
    {
        ScriptedDraws pick({0.0f});
        StartSequence(stage_);
    }
    for (int p = 0; p < 8; ++p) EXPECT_EQ(CentreOf(p), ColumnColour(1)) << p;
    EXPECT_EQ(Planes[8].Y, 386);
    EXPECT_EQ(Planes[9].X, 514);
    EXPECT_EQ(Planes[9].MaskY, 402);
    // Both centres lie in both cells: slot 9 is in front, masked cleanly.
    EXPECT_EQ(CentreOf(8), ColumnColour(3));
    EXPECT_EQ(CentreOf(9), ColumnColour(3));
    EXPECT_EQ(backBuffer_.pixel(1000, 760), kBackground);
}

TEST_F(SequencesTest, UnequalTotalsEndAfterTheShorterPlane) {
    // Plane 0: 6 + 6 ticks; plane 1: 1 + 1 ticks. Plane 1 ends the sequence on tick 3.
    Load("1,1,U\n100,100,600,100\n3,5,7,0\n3,5,7,0\n");
    {
        ScriptedDraws pick({0.0f});
        StartSequence(stage_);
    }
    StepSequence(stage_);  // tick 2
    EXPECT_EQ(Planes[1].X, 614 - 4);
    ClearBackBuffer();
    ScriptedDraws corner({0.9f, 0.9f, 0.9f});
    StepSequence(stage_);  // tick 3: plane 0 moves and is drawn, plane 1 ends it
    EXPECT_EQ(SeqActive, 0);
    // Plane 0 was drawn at x = 102 + 6 before the formation took its slot again.
    EXPECT_EQ(backBuffer_.pixel(108 + 100, 76 + 100), ColumnColour(3));
    EXPECT_EQ(backBuffer_.pixel(610 + 100, 76 + 100), kBackground);
}

TEST_F(SequencesTest, CountsZeroAndBelowLastOneTick) {
    Load("0,1,C\n500,500\n3,0\n1,-5\n");
    {
        ScriptedDraws pick({0.0f});
        StartSequence(stage_);
    }
    EXPECT_EQ(Planes[0].X, 514);
    EXPECT_EQ(Planes[0].Y, 384);
    StepSequence(stage_);
    EXPECT_EQ(Planes[0].X, 514);
    EXPECT_EQ(Planes[0].Y, 386);
    ScriptedDraws corner({0.0f, 0.0f, 0.0f});
    StepSequence(stage_);
    EXPECT_EQ(SeqActive, 0);
}

TEST_F(SequencesTest, NegativeStepFieldEndsInsideTheStart) {
    Load("0,-1,N\n500,500\n");
    ASSERT_EQ(LastSeq, 0.0f);
    ScriptedDraws draws({0.0f, 0.0f, 0.0f, 0.0f});
    StartSequence(stage_);
    EXPECT_EQ(draws.left(), 0u);
    EXPECT_EQ(SeqActive, 0);
    EXPECT_EQ(intervals_, (std::vector<std::int32_t>{1}));
}

TEST_F(SequencesTest, PlanesWrapAroundTheScreen) {
    Load("0,0,W\n1000,0\n3,100\n");
    {
        ScriptedDraws pick({0.0f});
        StartSequence(stage_);
    }
    for (int tick = 2; tick <= 100; ++tick) StepSequence(stage_);
    EXPECT_EQ(Planes[0].X, 1224);
    StepSequence(stage_);  // tick 101
    EXPECT_EQ(Planes[0].X, -198);
    ScriptedDraws corner({0.0f, 0.0f, 0.0f});
    EXPECT_EQ(TicksToEnd(5), 1);
}

TEST_F(SequencesTest, StartPointsScaleToTheScreen) {
    ScreenW = 1023;
    Load("2,0,S\n0,0,1000,1000,500,500\n1,0,1,0,1,0\n");
    EXPECT_EQ(SeqStart[0][0].X, 0);
    EXPECT_EQ(SeqStart[0][1].X, 1023);
    EXPECT_EQ(SeqStart[0][1].Y, 768);
    EXPECT_EQ(SeqStart[0][2].X, 511);  // 511.5 -> its integer part
    EXPECT_EQ(SeqStart[0][2].Y, 384);
}

TEST_F(SequencesTest, TwentyOfTwentyFiveRecordsAndAUniformPick) {
    std::string text;
    for (int i = 0; i < 25; ++i) text += "0,0,R" + std::to_string(i) + ",500,500,3,0\r\n";
    Load(text);
    EXPECT_EQ(LastSeq, 19.0f);
    EXPECT_EQ(SeqName[19], "R19");
    EXPECT_EQ(SeqName[20], "");
    const std::pair<float, float> picks[] = {{0.0f, 0.0f}, {0.5f, 10.0f}, {0.999f, 19.0f}};
    for (const auto& [draw, expected] : picks) {
        ScriptedDraws draws({draw}, false);
        StartSequence(stage_);
        EXPECT_EQ(SeqNo, expected);
        EXPECT_EQ(TicksToEnd(5), 1);
    }
}

// Everything the reader stored for record 0, for comparing layouts.
std::vector<double> Snapshot() {
    std::vector<double> v{LastSeq, SeqPlanes[0], SeqSteps[0], static_cast<double>(SeqName[0].size())};
    for (int p = 0; p < PlaneSlots; ++p) {
        v.push_back(SeqStart[0][p].X);
        v.push_back(SeqStart[0][p].Y);
        for (int k = -1; k <= 100; ++k) {
            v.push_back(SeqMoves(0, p, k).Dir);
            v.push_back(SeqMoves(0, p, k).Count);
        }
    }
    return v;
}

TEST_F(SequencesTest, LayoutAndLineEndsDoNotMatter) {
    Load(kCross);
    const auto reference = Snapshot();
    ASSERT_EQ(reference[0], 0.0);
    const std::string fields[] = {"1", "1", "Cross", "100", "200", "900", "200",
                                  "3", "40",  "7",     "40",  "2",   "20",  "0", "20"};
    for (const std::string eol : {"\r\n", "\n", "\r"}) {
        std::string perLine, oneLine;
        for (std::size_t i = 0; i < std::size(fields); ++i) {
            perLine += fields[i] + eol;
            oneLine += fields[i] + (i + 1 < std::size(fields) ? ", " : eol);
        }
        Load("0,0,X,0,0,0,0" + eol);  // something else in between
        Load(perLine);
        EXPECT_EQ(Snapshot(), reference) << "one field per line";
        Load("0,0,X,0,0,0,0" + eol);
        Load(oneLine);
        EXPECT_EQ(Snapshot(), reference) << "one record per line";
    }
    Load(std::string(kCross) + "\r\n\r\n   \r\n");  // blank lines after the last record
    EXPECT_EQ(Snapshot(), reference);
}

TEST_F(SequencesTest, BadRecordsKeepWhatCameBefore) {
    const std::string good = "0,0,G,500,500,3,1\n";
    const std::string bad[] = {
        "10,0,X,500,500,3,1\n",      // plane field above 9
        "9.5,0,X,500,500,3,1\n",     // rounds to 10
        "-1,0,X\n",                  // plane field below 0
        "0,100,X,500,500,3,1\n",     // step field above 99
        "0,-40000,X,500,500\n",      // step field beyond 16 bits
        "0,0,X,500,500,8,1\n",       // direction above 7
        "0,0,X,500,500,-1,1\n",      // direction below 0
        "0,0,X,500,500,7.6,1\n",     // between compass entries past the last
        "0,0,X,40000,500,3,1\n",     // start value beyond 16 bits
        "0,0,X,32000,500,3,1\n",     // start pixels beyond 16 bits
        "0,0,X,500,500,3,40000\n",   // count beyond 16 bits
        "0,0,X,500,500,3,-32769\n",  // count below 16 bits
        "0,1,X,500,500,3,1\n",       // cut short: step 1 missing
        "0,0,X,500\n",               // cut short in the start points
        "garbage\n",                 // trailing text
    };
    for (const std::string& b : bad) {
        Load(good + b);
        EXPECT_EQ(LastSeq, 0.0f) << b;
        EXPECT_EQ(SeqName[0], "G") << b;
        EXPECT_EQ(SeqName[1], "") << b;
        EXPECT_EQ(SeqPlanes[1], 0.0f) << b;
        Load(b);
        EXPECT_EQ(LastSeq, -1.0f) << b;
    }
}

TEST_F(SequencesTest, EveryLoadedSequenceEnds) {
    // Longest lawful plan: ten planes, 100 steps; plane 3 has the shortest total.
    std::string text = "9,99,Long\n";
    for (int p = 0; p < 10; ++p) text += "500,500\n";
    for (int k = 0; k < 100; ++k)
        for (int p = 0; p < 10; ++p) text += std::to_string(k % 8) + (p == 3 ? ",0\n" : ",2\n");
    Load(text);
    ASSERT_EQ(LastSeq, 0.0f);
    ScriptedDraws draws({0.0f}, false);
    StartSequence(stage_);
    EXPECT_EQ(TicksToEnd(1000), 100);  // 100 one-tick steps, then the ending tick
}

class SequenceFilesTest : public SequencesTest {
protected:
    void SetUp() override {
        SequencesTest::SetUp();
        ASSERT_TRUE(temp_.ok());
    }
    tavro_test::TempDir temp_{"tavro-sequences"};
    const std::filesystem::path dir_ = temp_.path();
};

TEST_F(SequenceFilesTest, MissingEmptyAndFolderLoadNothing) {
    Load(kCross);
    LoadSequencesFromFile((dir_ / "missing.ini").string());
    EXPECT_EQ(LastSeq, -1.0f);
    EXPECT_EQ(SeqName[0], "");
    std::ofstream(dir_ / "empty.ini").close();
    LoadSequencesFromFile((dir_ / "empty.ini").string());
    EXPECT_EQ(LastSeq, -1.0f);
    LoadSequencesFromFile(dir_.string());
    EXPECT_EQ(LastSeq, -1.0f);

    // No sequence: a start changes nothing and draws nothing.
    Planes[0].X = 77;
    ScriptedDraws none({}, true);  // no draw at all
    StartSequence(stage_);
    EXPECT_EQ(SeqActive, 0);
    EXPECT_EQ(Planes[0].X, 77);
}

TEST_F(SequenceFilesTest, ReadsTheFileBesideTheProgram) {
    const std::string stem = "SeqTest" + std::to_string(::getpid());
    const auto path = std::filesystem::path(os::ProgramFolder()) / (stem + ".ini");
    std::ofstream(path, std::ios::binary) << kCross;
    IniFileName = stem + ".INI";  // matched without regard to letter case
    LoadSequences();
    std::filesystem::remove(path);
    EXPECT_EQ(LastSeq, 0.0f);
    EXPECT_EQ(SeqName[0], "Cross");
    LoadSequences();  // gone now
    EXPECT_EQ(LastSeq, -1.0f);

    // A file of that name in the current folder is not the program's.
    std::ofstream(dir_ / (stem + ".ini"), std::ios::binary) << kCross;
    const auto cwd = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
    LoadSequences();
    std::filesystem::current_path(cwd);
    EXPECT_EQ(LastSeq, -1.0f);
}

}  // namespace
