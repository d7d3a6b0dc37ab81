// The model file: the reader's results and alerts, credits, walk observer and preferences,
// samples written, read back and written again, hostile files, and the read budget's pace of
// looks at the progress and its stop.
#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <new>
#include <string>

#include "foundation/disk_file_stream.h"
#include "foundation/process_state.h"
#include "foundation/walk_path_point.h"
#include "model/drawing_services.h"
#include "model/light.h"
#include "model/model_document.h"
#include "model/object_stream.h"
#include "model/preference_record.h"
#include "model/read_budget.h"
#include "model/read_limits.h"
#include "model/walk_record.h"
#include "tests/model/model_compare.h"
#include "tests/model/model_test_support.h"
#include "model/model_file_form.h"
#include "tools/hostile_models.h"
#include "tools/sample_scenes.h"

namespace {

ModelDocument* NewDocument()
{
    ModelDocument* document = new ModelDocument;
    EXPECT_EQ(document->Init(), kResultOk);
    return document;
}

Bytes WriteDocument(ModelDocument* document)
{
    MemoryStream out;
    StartWriting(out);
    EXPECT_EQ(WriteModelFile(document, &out), kResultOk);
    return Contents(out);
}

ResultCode ReadDocument(ModelDocument* document, const Bytes& bytes)
{
    MemoryStream in;
    Load(in, bytes);
    return document->ReadModelFile(&in);
}

// The file of a sample document.
Bytes SampleFile(ModelDocument* (*build)())
{
    ModelDocument* sample = build();
    const Bytes bytes = WriteDocument(sample);
    sample->Destroy();
    return bytes;
}

// Reads the bytes into a document of its own, then destroys it.
ResultCode ReadIntoNew(const Bytes& bytes)
{
    ModelDocument* document = NewDocument();
    const ResultCode result = ReadDocument(document, bytes);
    document->Destroy();
    return result;
}

// A model file around the given top-level chunks.
Bytes ModelFile(const Bytes& chunks, const char (&form)[5] = "QMDL")
{
    return Chunk("FORM", Tag(form) + chunks);
}

const Bytes kVersion = Chunk("VERS", Word32(0x01000000));

// A file in the working folder, removed at the end of the test.
class TemporaryFile {
public:
    TemporaryFile(const std::string& name, const Bytes& bytes) : name_(name)
    {
        ProgramVolumeLimits.maxNameLength = 200;
        ProgramVolumeLimits.maxExtensionLength = 200;
        std::FILE* file = std::fopen(name.c_str(), "wb");
        std::fwrite(bytes.data(), 1, bytes.size(), file);
        std::fclose(file);
    }
    ~TemporaryFile() { std::remove(name_.c_str()); }

    // Reads the file into the document as the player's open step does.
    ResultCode ReadInto(ModelDocument* document) const
    {
        DiskFileStream* file = new DiskFileStream;
        IgnoreResult(file->FileObjectInit(9, 0, 0, "", ""));
        IgnoreResult(file->SetFileFromPath(name_.c_str()));
        EXPECT_EQ(file->FileOpenStream(), kResultOk);
        const ResultCode result = document->ReadModelFile(file);
        file->FileObjectDestroy();
        return result;
    }

private:
    std::string name_;
};

}  // namespace

TEST(ModelFile, ResultsOfTheHeader)
{
    RecordingUi ui;
    ModelDocument* document = NewDocument();
    EXPECT_EQ(ReadDocument(document, ModelFile({})), kResultOk);
    EXPECT_EQ(ReadDocument(document, Chunk("LIST", Tag("QMDL"))), kResultLocked);
    EXPECT_EQ(ReadDocument(document, ModelFile(kVersion, "ABCD")), kResultOk);  // opens as an empty model
    EXPECT_EQ(ReadDocument(document, Bytes{'F', 'O', 'R'}), kResultLocked);
    EXPECT_TRUE(ui.alerts.empty());
    MemoryStream writing;
    StartWriting(writing);
    EXPECT_EQ(document->ReadModelFile(&writing), kResultLocked);
    EXPECT_EQ(ModelLoadingCount, 0);
    document->Destroy();
}

TEST(ModelFile, HeaderFormPlainScrambledOrNone)
{
    auto formOf = [](const Bytes& bytes, bool scramble) {
        MemoryStream stream;
        StartWriting(stream);
        if (scramble) stream.StreamScrambleOn();
        Bytes copy = bytes;
        IgnoreResult(stream.TransferBytes(copy.data(), int32_t(copy.size())));
        stream.StreamScrambleOff();
        IgnoreResult(stream.StreamSetDirection(kStreamReading));
        IgnoreResult(stream.StreamSetPosition(5));
        const ModelFileForm form = ReadModelFileForm(&stream);
        EXPECT_EQ(stream.StreamPosition(), 0);
        EXPECT_FALSE(stream.StreamIsScrambled());
        return form;
    };
    EXPECT_EQ(formOf(ModelFile(kVersion), false), ModelFileForm::kPlain);
    EXPECT_EQ(formOf(ModelFile(kVersion), true), ModelFileForm::kScrambled);
    EXPECT_EQ(formOf(ModelFile(kVersion, "QPY\0"), true), ModelFileForm::kScrambled);
    // A plain short form type is not taken: only the scrambled reading accepts it.
    EXPECT_EQ(formOf(ModelFile(kVersion, "QPY\0"), false), ModelFileForm::kNotAModel);
    EXPECT_EQ(formOf(ModelFile(kVersion, "ABCD"), false), ModelFileForm::kNotAModel);
    EXPECT_EQ(formOf(Bytes{'F', 'O'}, false), ModelFileForm::kNotAModel);
}

TEST(ModelFile, VersionRefusalAndLoadAlertNameTheFile)
{
    RecordingUi ui;
    ModelDocument* document = NewDocument();
    const TemporaryFile future("future.qpy", ModelFile(Chunk("VERS", Word32(0x02000000))));
    EXPECT_EQ(future.ReadInto(document), kResultShortRead);
    const TemporaryFile past("past.qpy", ModelFile(Chunk("VERS", Word32(0x00FFFFFF))));
    EXPECT_EQ(past.ReadInto(document), kResultShortRead);
    const TemporaryFile last("last.qpy", ModelFile(Chunk("VERS", Word32(0x01FFFFFF))));
    EXPECT_EQ(last.ReadInto(document), kResultOk);
    const TemporaryFile broken("broken.qpy", ModelFile(kVersion + Chunk("ROOT", Chunk("PRSM", Chunk("LGHT", Word16(9))))));
    EXPECT_EQ(broken.ReadInto(document), kResultBadCount);
    EXPECT_EQ(ui.alerts, (std::vector<std::string>{"Error in loading file \"future.qpy.\"",
                                                   "Error in loading file \"past.qpy.\"",
                                                   "Error in loading file \"broken.qpy.\""}));
    document->Destroy();
}

TEST(ModelFile, ProgressLineShortensLongNames)
{
    RecordingUi ui;
    ModelDocument* document = NewDocument();
    const Bytes empty = ModelFile({});
    const std::string names[3] = {std::string(36, 'a') + ".qpy", std::string(33, 'b') + ".qpy",
                                  std::string(32, 'c') + ".qpy"};
    for (const std::string& name : names) {
        const TemporaryFile file(name, empty);
        IgnoreResult(file.ReadInto(document));
    }
    ASSERT_EQ(ui.messages.size(), 3u);
    EXPECT_EQ(ui.messages[0], "Reading: " + std::string(36, 'a') + "....");
    EXPECT_EQ(ui.messages[1], "Reading: " + std::string(33, 'b') + ".qpy...");
    EXPECT_EQ(ui.messages[2], "Reading: " + std::string(32, 'c') + ".qpy");
    document->Destroy();
}

TEST(ModelFile, UnknownChunksAreSkippedAndCreditsReplaced)
{
    RecordingUi ui;
    ModelDocument* document = NewDocument();
    Bytes chunks = kVersion + Chunk("JUNK", {1, 2, 3});
    Append(chunks, Chunk("CRED", Chunk("TEXT", {'h', 'e', 'l', 'l', 'o'}) + Chunk("BMAP", {0, 1, 0, 1})));
    // Credits chunks by the thousand that hold no credits, empty or of unknown chunks alone.
    for (int32_t i = 0; i < 1000; ++i) Append(chunks, Chunk("CRED", i % 2 ? Chunk("XTRA", {9}) : Bytes()));
    Append(chunks, Chunk("CRED", Chunk("XTRA", {9}) + Chunk("TEXT", {'b', 'y', 'e'})));
    ASSERT_EQ(ReadDocument(document, ModelFile(chunks)), kResultOk);
    ASSERT_NE(document->CreditsText, nullptr);
    EXPECT_EQ(document->CreditsText->ArrayCount(), 3);
    EXPECT_EQ(*document->CreditsText->At<char>(0), 'b');
    EXPECT_EQ(document->CreditsPicture, nullptr);
    // Shown, taken off before the old text went, and shown anew: the chunks without credits
    // showed nothing again.
    EXPECT_EQ(ui.creditCalls, 3);
    EXPECT_EQ(ui.shownText, document->CreditsText);
    document->Destroy();
}

TEST(ModelFile, AChunkRunningPastItsParentFailsTheRead)
{
    // A text chunk whose stored length passes the end of its credits chunk, and a version chunk
    // whose length passes the end of the form, while the form itself fits the file.
    Bytes credits = Chunk("CRED", Chunk("TEXT", {'h', 'e', 'l', 'l', 'o', 0}));
    const Bytes longer = Word32(40);
    std::copy(longer.begin(), longer.end(), credits.begin() + 12);
    Bytes version = kVersion;
    const Bytes huge = Word32(0x7FFFFFF0);
    std::copy(huge.begin(), huge.end(), version.begin() + 4);
    for (const Bytes& chunks : {kVersion + credits, version}) {
        RecordingUi ui;
        EXPECT_EQ(ReadIntoNew(ModelFile(chunks)), kResultShortRead);
        EXPECT_EQ(ui.alerts, std::vector<std::string>{"Error in loading file \".\""});
    }
    // The same chunks with their true lengths load.
    RecordingUi ui;
    EXPECT_EQ(ReadIntoNew(ModelFile(kVersion + Chunk("CRED", Chunk("TEXT", {'h', 'e', 'l', 'l', 'o', 0})))), kResultOk);
    EXPECT_TRUE(ui.alerts.empty());
}

TEST(ModelFile, WalkObserverAndPreferences)
{
    ModelDocument* document = NewDocument();
    WalkRecord* walk = document->Walk;
    walk->SetRecording(1, 1);
    walk->SetAndRecord(IntToFixed(10), IntToFixed(-20), IntToFixed(66), IntToFixed(1), IntToFixed(-2), IntToFixed(64));
    walk->SetAndRecord(0x28000, 0x27FFF, -0x28000, 0, 0, IntToFixed(200));
    walk->SetRecording(0, 0);
    EXPECT_EQ(walk->Position[0], IntToFixed(3));   // 2.5 rounds up
    EXPECT_EQ(walk->Position[1], IntToFixed(2));   // 2.4999 rounds down
    EXPECT_EQ(walk->Position[2], IntToFixed(-2));  // -2.5 rounds up to -2
    document->Preferences->Bytes = NewDynamicArray(3, 1, 16);
    const Bytes prefs = {'Q', 'P', 'R'};
    std::memcpy(document->Preferences->Bytes->ArrayData(), prefs.data(), 3);

    const Bytes written = WriteDocument(document);
    ModelDocument* back = NewDocument();
    ASSERT_EQ(ReadDocument(back, written), kResultOk);
    ASSERT_EQ(back->Walk->PathCount(), 2);
    const WalkPathPoint* point = back->Walk->PathPoint(0);
    EXPECT_EQ(point->x, IntToFixed(10));
    EXPECT_EQ(point->z, IntToFixed(66));
    EXPECT_NEAR(point->roll, IntToFixed(1), 64);
    EXPECT_NEAR(point->pitch, IntToFixed(-2), 64);
    EXPECT_NEAR(point->heading, IntToFixed(64), 64);
    EXPECT_EQ(back->Walk->Position[0], IntToFixed(3));
    EXPECT_EQ(back->Walk->Angles[2], IntToFixed(200));
    EXPECT_EQ(back->PlacementPosition.x, IntToFixed(3));
    EXPECT_EQ(back->PlacementHeading, FixMul(IntToFixed(200), 1609));
    EXPECT_TRUE(SameBytes(back->Preferences->Bytes, document->Preferences->Bytes));
    EXPECT_EQ(WriteDocument(back), written);

    // A path count that does not fit its body leaves the path alone and never fails the load.
    Bytes body = Word16(1) + Bytes(24, 0) + Word16(35) + Word16(36) + Word16(0xFFFF);
    ASSERT_EQ(ReadDocument(back, ModelFile(Chunk("QPRF", body))), kResultOk);
    EXPECT_EQ(back->Walk->PathCount(), 2);
    body[31] = 5;
    body[30] = 0;
    ASSERT_EQ(ReadDocument(back, ModelFile(Chunk("QPRF", body + Bytes(48, 0)))), kResultOk);
    EXPECT_EQ(back->Walk->PathCount(), 2);
    // A body of version 2 is not read past its version.
    ASSERT_EQ(ReadDocument(back, ModelFile(Chunk("QPRF", Word16(2) + Bytes(24, 0xFF)))), kResultOk);
    EXPECT_EQ(back->Walk->Position[0], 0);  // as the read before left it
    back->Destroy();
    document->Destroy();
}

TEST(ModelFile, SamplesReadBackEqualAndWriteIdentically)
{
    int32_t count = 0;
    const SampleScene* scenes = SampleScenes(&count);
    ASSERT_GE(count, 2);
    for (int32_t i = 0; i < count; ++i) {
        SCOPED_TRACE(scenes[i].fileName);
        ModelDocument* original = scenes[i].build();
        ASSERT_NE(original, nullptr);
        const Bytes first = WriteDocument(original);
        ModelDocument* copy = NewDocument();
        ASSERT_EQ(ReadDocument(copy, first), kResultOk);
        ExpectSameTree(original->Holder->Root, copy->Holder->Root);
        EXPECT_EQ(copy->Walk->PathCount(), original->Walk->PathCount());
        EXPECT_TRUE(SameBytes(copy->CreditsText, original->CreditsText));
        EXPECT_EQ(WriteDocument(copy), first);
        // Through a file as well.
        const TemporaryFile file(std::string("sample") + std::to_string(i) + ".qpy", first);
        ModelDocument* fromFile = NewDocument();
        ASSERT_EQ(file.ReadInto(fromFile), kResultOk);
        EXPECT_EQ(WriteDocument(fromFile), first);
        fromFile->Destroy();
        copy->Destroy();
        original->Destroy();
    }
}

TEST(ModelFile, TruncationAtEveryByteEndsInACode)
{
    for (ModelDocument* (*build)() : {BuildRoomSample, BuildElementsSample}) {
        const Bytes whole = SampleFile(build);
        RecordingUi ui;
        for (size_t length = 0; length < whole.size(); ++length) {
            const Bytes cut(whole.begin(), whole.begin() + long(length));
            EXPECT_NE(ReadIntoNew(cut), kResultOk) << "cut at " << length;
        }
    }
}

TEST(ModelFile, ChangedBytesOfTheElementsSampleAlwaysEnd)
{
    const Bytes whole = SampleFile(BuildElementsSample);
    RecordingUi ui;
    // The elements' chunks lie in the second half of the file, after the lawn and the shapes.
    uint32_t seed = 2024;
    auto next = [&seed]() {
        seed = seed * 1103515245u + 12345u;
        return seed >> 8;
    };
    for (int32_t round = 0; round < 400; ++round) {
        Bytes changed = whole;
        const size_t at = whole.size() / 2 + next() % (whole.size() / 2);
        changed[at] = uint8_t(next());
        IgnoreResult(ReadIntoNew(changed));
    }
}

TEST(ModelFile, HugeLengthsEndInACode)
{
    const Bytes whole = SampleFile(BuildShapesSample);
    RecordingUi ui;
    // Every chunk header in turn gets the length 0xFFFFFFF0.
    int tried = 0;
    for (size_t at = 12; at + 8 <= whole.size(); ++at) {
        const bool tag = std::isupper(whole[at]) && std::isupper(whole[at + 1]) && std::isalpha(whole[at + 2]) &&
                         std::isalpha(whole[at + 3]);
        if (!tag) continue;
        Bytes hostile = whole;
        for (int k = 0; k < 4; ++k) hostile[at + 4 + k] = k < 3 ? 0xFF : 0xF0;
        IgnoreResult(ReadIntoNew(hostile));
        ++tried;
    }
    EXPECT_GT(tried, 50);
    Bytes form = whole;
    for (int k = 4; k < 8; ++k) form[k] = k < 7 ? 0xFF : 0xF0;
    EXPECT_EQ(ReadIntoNew(form), kResultShortRead);
}

TEST(ModelFile, StopWhileReadingCredits)
{
    RecordingUi ui;
    ui.stopAfter = 1;
    ModelDocument* document = NewDocument();
    EXPECT_EQ(ReadDocument(document, ModelFile(Chunk("CRED", Chunk("TEXT", {'x'})))), kResultStopped);
    EXPECT_EQ(document->CreditsText, nullptr);
    ASSERT_EQ(ui.alerts.size(), 1u);
    EXPECT_EQ(ui.alerts[0], "Error in loading file \".\"");
    document->Destroy();
}

namespace {

// A holder whose objects count the faces of every complete object built.
class BuildCountingHolder : public ModelHolder {
public:
    ModelObject* NewModelObject() override { return new (std::nothrow) Counted(&facesBuilt); }

    int64_t facesBuilt = 0;

private:
    class Counted : public ModelObject {
    public:
        explicit Counted(int64_t* faces) : faces_(faces) {}
        void Build() override
        {
            if (IsCompleteObject()) *faces_ += std::max(FaceCount(), 0);
            ModelObject::Build();
        }

    private:
        int64_t* faces_;
    };
};

// The lights over the five objects: each face is lit by as many on each side, a little more than
// a read may light it for each face it builds.
constexpr int32_t kManyLights = 140;
constexpr int32_t kLargeFaces = 3001;

// Five primitives of kLargeFaces faces each, far apart, under kManyLights lights of the root, in a
// few kilobytes, after `padding` bytes of the root's data text; the last has a box under it with
// `childPadding` bytes of data text.
Bytes FiveLargeObjects(int32_t padding, int32_t childPadding = 0)
{
    Scene scene;
    auto pad = [](ModelObject* object, int32_t bytes) {
        if (bytes > 0) object->SetData(std::string(size_t(bytes), 'd').data(), bytes);
    };
    pad(scene.root(), padding);
    for (int32_t i = 0; i < kManyLights; ++i) {
        Light* light = new Light;
        scene.root()->LightsForEdit()->LightListAppend(light->LightInitDefaults());
    }
    for (int32_t i = 0; i < 5; ++i)
        scene.root()->AddChild(MakeShape(scene.holder(), 4, 1000, 3, 3, 100, 0, 100, 1000 * i, 0, 0));
    EXPECT_EQ(scene.root()->ChildAt(0)->FaceCount(), kLargeFaces);
    ModelObject* box = MakeBox(scene.holder(), 4000, 0, 0, 4010, 10, 10);
    pad(box, childPadding);
    if (childPadding > 0) scene.root()->ChildAt(4)->AddChild(box);
    else box->Destroy();
    return WriteWith(scene.root(), &ModelObject::StreamRoot);
}

}  // namespace

TEST(FaceBudget, HonestModelsOfAnySizeComeWithinIt)
{
    // A box as the program writes it (a chunk of its own) brings its six faces within the budget
    // of its bytes, so a model of boxes passes at every size; what a file's bytes pay for beyond
    // the faces any model may have is a face for every few bytes.
    Scene scene;
    const int64_t boxBytes = int64_t(WriteWith(scene.AddBox(0, 0, 0, 10, 10, 10), &ModelObject::Write).size()) + 8;
    EXPECT_GT(boxBytes, 100);
    for (const int64_t boxes : {1, 1000, 30000, 200000, 1000000, 10000000}) {
        SCOPED_TRACE(boxes);
        EXPECT_GE(Allowance(ReadCost::kFaces, boxes * boxBytes) - kFacesOfAnyModel, 6 * boxes);
    }
}

TEST(ReadBudget, AllowanceGrowsWithTheBytesReadAndPassingItFailsEveryLaterSpending)
{
    ReadBudget budget;
    EXPECT_TRUE(budget.Spend(ReadCost::kNodes, int64_t(1) << 40));  // outside a read, free
    EXPECT_EQ(budget.Spent(ReadCost::kNodes), 0);
    MemoryStream stream;
    Load(stream, Bytes(3200, 0));
    budget.Begin(&stream);
    const int64_t atStart = Allowance(ReadCost::kNodes, 0);
    EXPECT_TRUE(budget.Spend(ReadCost::kNodes, atStart));
    EXPECT_FALSE(budget.Spend(ReadCost::kNodes, 1)) << "past the allowance of no bytes";
    budget.Begin(&stream);
    ASSERT_EQ(stream.StreamSetPosition(3200), kResultOk);
    EXPECT_EQ(Allowance(ReadCost::kNodes, 3200), atStart + 100);  // a node for every 32 bytes
    EXPECT_TRUE(budget.Spend(ReadCost::kNodes, atStart + 100));
    EXPECT_FALSE(budget.Spend(ReadCost::kNodes, 1));
    EXPECT_EQ(budget.Spent(ReadCost::kNodes), atStart + 100);
    EXPECT_FALSE(budget.Spend(ReadCost::kFaces, 1)) << "a passed budget refuses every cost";
    EXPECT_TRUE(budget.Passed());
    budget.End();
    EXPECT_FALSE(budget.Passed());
    EXPECT_TRUE(budget.Spend(ReadCost::kFaces, 1));
    // Past their parts of the bytes read, the relations share what the read has built: half of
    // what its faces allow lighting and half of what its corners allow the contact search leave
    // the slices nothing past their bytes; twice the faces allow lighting as much again.
    budget.Begin(&stream);
    EXPECT_TRUE(budget.Spend(ReadCost::kFaces, 1000));
    EXPECT_TRUE(budget.Spend(ReadCost::kCorners, 4000));
    const int64_t lighting = Allowance(ReadCost::kLighting, 3200, 1000) - Allowance(ReadCost::kLighting, 3200);
    const int64_t search = Allowance(ReadCost::kContactSearch, 3200, 4000) - Allowance(ReadCost::kContactSearch, 3200);
    EXPECT_TRUE(budget.Spend(ReadCost::kLighting, Allowance(ReadCost::kLighting, 3200) + lighting / 2));
    EXPECT_TRUE(budget.Spend(ReadCost::kContactSearch, Allowance(ReadCost::kContactSearch, 3200) + search / 2));
    EXPECT_TRUE(budget.Spend(ReadCost::kFaces, 1000));
    EXPECT_TRUE(budget.Spend(ReadCost::kLighting, lighting / 2));
    EXPECT_FALSE(budget.Spend(ReadCost::kSliceCuts, Allowance(ReadCost::kSliceCuts, 3200) + 1));
    // The contact search is allowed more for every contact made: past what the corners allow it
    // once the read has made contacts, and not before.
    budget.Begin(&stream);
    EXPECT_TRUE(budget.Spend(ReadCost::kCorners, 4000));
    const int64_t byCorners = Allowance(ReadCost::kContactSearch, 3200, 4000);
    const int64_t byContacts = Allowance(ReadCost::kContactSearch, 3200, 4000, 100);
    EXPECT_GT(byContacts, byCorners + 100 * 64);
    EXPECT_TRUE(budget.Spend(ReadCost::kContactSearch, byCorners / 2));
    EXPECT_TRUE(budget.Spend(ReadCost::kContactPairs, 100));
    EXPECT_TRUE(budget.Spend(ReadCost::kContactSearch, byContacts - byCorners / 2));
    EXPECT_FALSE(budget.Spend(ReadCost::kContactSearch, 1));
    budget.Begin(&stream);
    EXPECT_TRUE(budget.Spend(ReadCost::kCorners, 4000));
    EXPECT_FALSE(budget.Spend(ReadCost::kContactSearch, byCorners + 1));
    // A loop's meter spends what it adds a batch at a time, and what is left as it goes; past the
    // budget it tells the loop at once.
    budget.Begin(&stream);
    {
        BudgetMeter meter(budget, ReadCost::kNodes);
        EXPECT_TRUE(meter.Add(100));
        EXPECT_EQ(budget.Spent(ReadCost::kNodes), 0);
    }
    EXPECT_EQ(budget.Spent(ReadCost::kNodes), 100);
    BudgetMeter meter(budget, ReadCost::kNodes);
    EXPECT_FALSE(meter.Add(Allowance(ReadCost::kNodes, 3200)));
    EXPECT_TRUE(budget.Passed());
    // What any model has of a relation is spent before the relations share what the read built:
    // coverage with no connection made, then the lighting of its faces beside it.
    budget.Begin(&stream);
    const int64_t coverage = Allowance(ReadCost::kCoverage, 3200);
    EXPECT_GT(coverage, Allowance(ReadCost::kCoverage, 0));
    EXPECT_GT(Allowance(ReadCost::kCoverage, 0), 0);
    EXPECT_TRUE(budget.Spend(ReadCost::kCoverage, coverage));
    EXPECT_TRUE(budget.Spend(ReadCost::kFaces, 1000));
    EXPECT_TRUE(budget.Spend(ReadCost::kLighting, Allowance(ReadCost::kLighting, 3200, 1000)));
    EXPECT_FALSE(budget.Spend(ReadCost::kCoverage, 1));
}

TEST(ReadBudget, LooksAtTheProgressAtThePaceOfItsWorkAndTurnsAndAStopRefusesEveryLaterSpending)
{
    RecordingUi ui;
    ReadBudget budget;
    MemoryStream stream;
    Load(stream, Bytes(3200, 0));
    budget.Begin(&stream);
    // Work short of the pace asks nothing; the spending that brings it there looks first, and so
    // does the first after the loops have turned as much.
    EXPECT_TRUE(budget.Spend(ReadCost::kNodes, kWorkBetweenLooks - 1));
    EXPECT_EQ(ui.updates, 0);
    EXPECT_TRUE(budget.Spend(ReadCost::kNodes, 1));
    EXPECT_EQ(ui.updates, 1);
    CountTurns(kWorkBetweenLooks - 1);
    EXPECT_TRUE(budget.Spend(ReadCost::kNodes, 0));
    EXPECT_EQ(ui.updates, 1);
    CountTurns(1);
    EXPECT_TRUE(budget.Spend(ReadCost::kNodes, 0));
    EXPECT_EQ(ui.updates, 2);
    // The pictures' units count as work does.
    EXPECT_TRUE(budget.Pictures().Spend(kWorkBetweenLooks - 1));
    EXPECT_TRUE(budget.LookWhenDue());
    EXPECT_EQ(ui.updates, 2);
    EXPECT_TRUE(budget.Pictures().Spend(1));
    EXPECT_TRUE(budget.LookWhenDue());
    EXPECT_EQ(ui.updates, 3);
    // A stop answered at a look refuses the spending that looked and every later one, stopped
    // rather than past the budget's allowance, and nothing more is asked.
    ui.stopAfter = 1;
    EXPECT_FALSE(budget.Spend(ReadCost::kFaces, kWorkBetweenLooks));
    EXPECT_TRUE(budget.Stopped());
    EXPECT_TRUE(budget.Passed());
    EXPECT_EQ(budget.Spent(ReadCost::kFaces), 0);
    EXPECT_FALSE(budget.Spend(ReadCost::kNodes, 1));
    EXPECT_FALSE(budget.LookAtProgress());
    EXPECT_EQ(ui.updates, 4);
    budget.End();
    EXPECT_FALSE(budget.Stopped());
    EXPECT_FALSE(budget.Passed());
    // Outside a read nothing is looked at.
    EXPECT_TRUE(budget.Spend(ReadCost::kNodes, 4 * kWorkBetweenLooks));
    EXPECT_TRUE(budget.LookAtProgress());
    EXPECT_EQ(ui.updates, 4);
}

TEST(ModelFile, TheLastLookAtTheProgressStopsAReadThatWentWell)
{
    RecordingUi ui;
    Scene scene;
    scene.AddBox(0, 0, 0, 10, 10, 10);
    const Bytes file = ModelFile(kVersion + Chunk("ROOT", WriteWith(scene.root(), &ModelObject::StreamRoot)));
    ASSERT_EQ(ReadIntoNew(file), kResultOk);
    ui.stopAtFinish = true;
    EXPECT_EQ(ReadIntoNew(file), kResultStopped);
    EXPECT_EQ(ui.alerts, std::vector<std::string>{"Error in loading file \".\""});
}

namespace {

// Texture services that record how each read closed its numbering, and answer as told.
class CollectingTextures : public TextureServices {
public:
    CollectingTextures() { previous_ = InstallTextureServices(this); }
    ~CollectingTextures() override { InstallTextureServices(previous_); }
    ResultCode CollectUsedTextures(bool readWell) override
    {
        closes.push_back(readWell);
        return answer;
    }

    std::vector<bool> closes;
    ResultCode answer = kResultOk;

private:
    TextureServices* previous_;
};

}  // namespace

TEST(ModelFile, TextureUsersTakeTheirTexturesAfterAReadThatWentWellAndAStopThereStopsIt)
{
    RecordingUi ui;
    CollectingTextures textures;
    Scene scene;
    scene.AddBox(0, 0, 0, 10, 10, 10);
    const Bytes file = ModelFile(kVersion + Chunk("ROOT", WriteWith(scene.root(), &ModelObject::StreamRoot)));
    EXPECT_EQ(ReadIntoNew(file), kResultOk);
    textures.answer = kResultStopped;
    EXPECT_EQ(ReadIntoNew(file), kResultStopped);
    // A read that failed leaves its users as they are: its model goes.
    EXPECT_EQ(ReadIntoNew(ModelFile(Chunk("VERS", Word32(0)))), kResultShortRead);
    EXPECT_EQ(textures.closes, (std::vector<bool>{true, true, false}));
}

TEST(ReadBudget, AReadRefusedPastItLeavesLaterContactsToBeMade)
{
    // A root read on its own is refused past its budget; a box joining it afterwards, outside any
    // read, meets both boxes it touches.
    Scene scene;
    MemoryStream in;
    Load(in, FiveLargeObjects(0));
    ASSERT_EQ(scene.root()->StreamRoot(&in), kResultPastBudget);
    scene.AddBox(-500, -500, 0, -490, -490, 10);
    scene.AddBox(-480, -500, 0, -470, -490, 10);
    EXPECT_EQ(scene.AddBox(-490, -500, 0, -480, -490, 10)->Geometry->ContactCount(), 2);
}

TEST(FaceBudget, ASmallFileOfLargeObjectsUnderManyLightsIsRefusedAsTheFirstIsLit)
{
    // In a few kilobytes, the first object of 3001 faces passes the budget as it joins the world
    // under the lights (lit on both sides by every light, each face asks for more lighting than a
    // face built allows): the read stops there, however many bytes its children bring, and builds
    // nothing more. The same objects after enough bytes of the file (to light each twice, as it is
    // built and as it joins the world) all come in.
    ASSERT_GT(kLargeFaces * (1 + 2 * kManyLights), Allowance(ReadCost::kLighting, 4000, kLargeFaces));
    struct Case {
        int32_t padding;
        int32_t childPadding;
        ResultCode result;
        int32_t children;
    };
    for (const Case& c : {Case{0, 0, kResultPastBudget, 1}, Case{0, 200000, kResultPastBudget, 1},
                          Case{2400000, 0, kResultOk, 5}}) {
        SCOPED_TRACE(testing::Message() << c.padding << " " << c.childPadding);
        MemoryStream in;
        Load(in, FiveLargeObjects(c.padding, c.childPadding));
        BuildCountingHolder* holder = new BuildCountingHolder;
        ASSERT_EQ(holder->ModelHolderInit(nullptr), kResultOk);
        EXPECT_EQ(holder->Root->StreamRoot(&in), c.result);
        EXPECT_EQ(holder->Root->ChildCount(), c.children);
        EXPECT_EQ(holder->facesBuilt, c.children * kLargeFaces);
        holder->ModelHolderDestroy();
    }
}

TEST(ModelFile, ObjectsPastTheFaceBudgetFailTheRead)
{
    RecordingUi ui;
    ModelDocument* document = NewDocument();
    EXPECT_EQ(ReadDocument(document, ModelFile(kVersion + Chunk("ROOT", FiveLargeObjects(0)))), kResultPastBudget);
    EXPECT_EQ(ui.alerts, std::vector<std::string>{"Error in loading file \".\""});
    // The budget is the read's: the next read of the document starts from nothing.
    EXPECT_EQ(ReadDocument(document, ModelFile(kVersion)), kResultOk);
    EXPECT_EQ(document->Holder->Budget.Spent(ReadCost::kFaces), 0);
    document->Destroy();
}

TEST(ModelFile, ObjectsWithoutFacesMeetOnlyWhatHoldsTheOrigin)
{
    // An object without faces lies at the origin with no extent: it meets a box around the origin,
    // never a box beside it nor another object without faces, whether they all come in one root
    // chunk or each in a root chunk of its own.
    auto rootOf = [](int32_t boxes, int32_t empty) {
        Scene scene;
        if (boxes > 0) scene.AddBox(-10, -10, -10, 10, 10, 10);
        if (boxes > 1) scene.AddBox(100, 100, 0, 110, 110, 10);
        for (int32_t i = 0; i < empty; ++i) {
            ModelObject* mesh = scene.holder()->MakeObject();
            mesh->MakePolygonObject(NewDynamicArray(0, int32_t(sizeof(FixedVector3)), 4), NewPointerList());
            scene.root()->AddChild(mesh);
        }
        return Chunk("ROOT", WriteWith(scene.root(), &ModelObject::StreamRoot));
    };
    constexpr int32_t kEmpty = 100;
    Bytes eachAlone = rootOf(2, 0);
    for (int32_t i = 0; i < kEmpty; ++i) Append(eachAlone, rootOf(0, 1));
    for (const Bytes& chunks : {rootOf(2, kEmpty), eachAlone}) {
        ModelDocument* document = NewDocument();
        ASSERT_EQ(ReadDocument(document, ModelFile(kVersion + chunks)), kResultOk);
        const ModelObject* root = document->Holder->Root;
        ASSERT_EQ(root->ChildCount(), 2 + kEmpty);
        EXPECT_EQ(root->ChildAt(0)->Geometry->ContactCount(), kEmpty);
        EXPECT_EQ(root->ChildAt(1)->Geometry->ContactCount(), 0);
        for (int32_t i = 2; i < 2 + kEmpty; ++i) {
            ASSERT_EQ(root->ChildAt(i)->Geometry->ContactCount(), 1);
            EXPECT_EQ(root->ChildAt(i)->Geometry->ContactOther(0), root->ChildAt(0)->Geometry);
        }
        document->Destroy();
    }
}

TEST(ModelFile, HostileModelsEndInTheirResults)
{
    RecordingUi ui;
    const std::vector<HostileModel> models = HostileModels();
    EXPECT_GT(models.size(), 40u);
    for (const HostileModel& model : models) {
        SCOPED_TRACE(model.name);
        ModelDocument* document = NewDocument();
        const ResultCode result = ReadDocument(document, model.bytes);
        if (model.outcome == HostileModel::kMustFail) {
            EXPECT_NE(result, kResultOk);
        }
        if (model.outcome == HostileModel::kMustLoad) {
            EXPECT_EQ(result, kResultOk);
        }
        document->Destroy();
    }
}

namespace {

// Credits pictures that are records of this test: a read fails when the body's first byte is 0.
class FakePictures : public DrawingServices {
public:
    FakePictures() { previous_ = InstallDrawingServices(this); }
    ~FakePictures() override { InstallDrawingServices(previous_); }
    Q_Offscreen* NewCreditsPicture() override
    {
        ++made;
        return reinterpret_cast<Q_Offscreen*>(new int(made));
    }
    ResultCode ReadWriteCreditsPicture(Q_Offscreen* /*picture*/, MemoryStream* stream, PictureBudget* pictures) override
    {
        uint8_t first = 1;
        if (stream->StreamIsWriting()) return stream->StreamTransferValue(&first, kValueByte);
        IgnoreResult(stream->StreamTransferValue(&first, kValueByte));
        budget = pictures;
        if (first == kDear) {
            // Its making takes a look's worth of work, during which the user asks to stop.
            EXPECT_TRUE(pictures->Spend(kWorkBetweenLooks));
            if (ui) ui->stopAfter = 1;
        }
        return first == kPastBudget ? kResultPastBudget : first ? kResultOk : kResultLocked;
    }
    void DisposeCreditsPicture(Q_Offscreen* picture) override
    {
        disposed.push_back(*reinterpret_cast<int*>(picture));
        if (ui && ui->shownPicture == picture) shownWhenDisposed = true;
        delete reinterpret_cast<int*>(picture);
    }
    bool CreditsPictureSize(const Q_Offscreen* picture, int32_t* w, int32_t* h) override
    {
        *w = *h = picture ? *reinterpret_cast<const int*>(picture) : 0;
        return picture != nullptr;
    }
    // A body whose first byte is this is past the picture budget it is read against.
    static constexpr uint8_t kPastBudget = 2;
    // One whose first byte is this is made with a stop asked meanwhile.
    static constexpr uint8_t kDear = 3;
    int made = 0;
    std::vector<int> disposed;
    RecordingUi* ui = nullptr;
    bool shownWhenDisposed = false;
    PictureBudget* budget = nullptr;  // the one the last picture was read against

private:
    DrawingServices* previous_;
};

}  // namespace

TEST(ModelFile, CreditsPicturesReplacedAndFailedOnesDisposed)
{
    RecordingUi ui;
    FakePictures pictures;
    pictures.ui = &ui;
    ModelDocument* document = NewDocument();
    Bytes chunks = Chunk("CRED", Chunk("BMAP", {1}) + Chunk("TEXT", {'a'}));
    Append(chunks, Chunk("CRED", Chunk("BMAP", {1})));  // replaces the first picture
    Append(chunks, Chunk("CRED", Chunk("BMAP", {0})));  // fails: disposed, none kept
    ASSERT_EQ(ReadDocument(document, ModelFile(chunks)), kResultOk);
    EXPECT_EQ(pictures.made, 3);
    EXPECT_EQ(pictures.disposed, (std::vector<int>{1, 2, 3}));
    EXPECT_FALSE(pictures.shownWhenDisposed);
    EXPECT_EQ(document->CreditsPicture, nullptr);

    ASSERT_EQ(ReadDocument(document, ModelFile(Chunk("CRED", Chunk("BMAP", {1})))), kResultOk);
    const Bytes written = WriteDocument(document);
    ModelDocument* back = NewDocument();
    ASSERT_EQ(ReadDocument(back, written), kResultOk);
    EXPECT_NE(back->CreditsPicture, nullptr);
    EXPECT_EQ(WriteDocument(back), written);

    // A picture past the model's picture budget, read against the document's, ends the read: it
    // is disposed and the credits after it are not read.
    ModelDocument* refused = NewDocument();
    const Bytes pastBudget = Chunk("BMAP", {FakePictures::kPastBudget});
    EXPECT_EQ(ReadDocument(refused, ModelFile(Chunk("CRED", pastBudget + Chunk("BMAP", {1})))), kResultPastBudget);
    EXPECT_EQ(pictures.budget, &refused->Holder->Budget.Pictures());
    EXPECT_EQ(pictures.made, 6);
    EXPECT_EQ(pictures.disposed.back(), 6);
    EXPECT_EQ(refused->CreditsPicture, nullptr);

    // A stop asked while a picture is made ends the read before the next picture is begun.
    ModelDocument* stopped = NewDocument();
    const Bytes dear = Chunk("BMAP", {FakePictures::kDear});
    EXPECT_EQ(ReadDocument(stopped, ModelFile(Chunk("CRED", dear + dear))), kResultStopped);
    EXPECT_EQ(pictures.made, 7);
    stopped->Destroy();
    refused->Destroy();
    back->Destroy();
    document->Destroy();
}
