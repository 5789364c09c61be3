// The parameter-detail and host-notification codes (31 to 51 without 34 and
// 42) through plugMain: the effect's answers, which object each code asks, the
// fallbacks without a prototype, bad records, and the detail probe's registry.
#include <cstring>
#include <iterator>
#include <memory>
#include <string>
#include <vector>

#include "DetailProbeParameters.h"
#include "PluginFixture.h"

namespace {

using hostkit::ByteRecord;
using hostkit::FloatBitsOf;
using hostkit::kFailureCode;
using testsupport::GlPluginTest;
using testsupport::PluginTest;

constexpr uint32_t kBoxStyle = 4;
constexpr size_t kTextBufferBytes = 32;
constexpr char kUntouched = '\xAA';
constexpr uint64_t kUntouchedEntry = 0xEEEEEEEEEEEEEEEEull;

// A text buffer of the host's after a copy: the copied bytes, then the untouched fill.
std::string Buffer(const std::string& copied)
{
    return copied + std::string(kTextBufferBytes - copied.size(), kUntouched);
}

struct RangeAnswer {
    uint32_t result;
    uint32_t number;
    float minimum;
    float maximum;
};

struct TextAnswer {
    uint32_t result;
    std::string buffer;
};

// Up to four 16-byte event entries: parameter number (0), flags (8).
struct EventsAnswer {
    uint32_t result;
    uint32_t count;
    ByteRecord<64> entries;

    uint32_t Number(size_t entry) const { return entries.U32(entry * 16); }
    uint64_t Flags(size_t entry) const { return entries.U64(entry * 16 + 8); }
    bool Untouched(size_t entry) const
    {
        return entries.U64(entry * 16) == kUntouchedEntry && Flags(entry) == kUntouchedEntry;
    }
};

// Builds the records of the detail codes by byte offset and reads the answers back.
template <typename Base> class DetailHost : public Base {
protected:
    uint64_t CallPair(uint32_t code, uint32_t number, uint32_t index, void* instance = nullptr) const
    {
        const ByteRecord<8> pair = hostkit::MakeIndexPair(number, index);
        return this->library->CallPointer(code, pair.Data(), instance);
    }
    const char* ElementName(uint32_t number, uint32_t element, void* instance = nullptr) const
    {
        return reinterpret_cast<const char*>(CallPair(ffgl::kGetParameterElementName, number, element, instance));
    }
    uint32_t ElementValue(uint32_t number, uint32_t element, void* instance = nullptr) const
    {
        return static_cast<uint32_t>(CallPair(ffgl::kGetParameterElementValue, number, element, instance));
    }
    const char* FileExtension(uint32_t number, uint32_t index, void* instance = nullptr) const
    {
        return reinterpret_cast<const char*>(CallPair(ffgl::kGetFileExtension, number, index, instance));
    }
    uint32_t Separator(uint32_t number, uint32_t index, void* instance = nullptr) const
    {
        return static_cast<uint32_t>(CallPair(ffgl::kGetElementSeparator, number, index, instance));
    }
    uint32_t SetElementValue(uint32_t number, uint32_t element, float value, void* instance) const
    {
        ByteRecord<12> record;
        record.PutU32(0, number);
        record.PutU32(4, element);
        record.PutF32(8, value);
        return this->CallRecord(ffgl::kSetParameterElementValue, record.Data(), instance);
    }
    // The outputs start as 7.0 and -7.0, so that an untouched record shows.
    RangeAnswer Range(uint32_t number, void* instance = nullptr) const
    {
        ByteRecord<12> record;
        record.PutU32(0, number);
        record.PutF32(4, 7.0f);
        record.PutF32(8, -7.0f);
        const uint32_t result = this->CallRecord(ffgl::kGetRange, record.Data(), instance);
        return {result, record.U32(0), record.F32(4), record.F32(8)};
    }
    // Codes 50 and 51 into a 32-byte buffer filled with 0xAA; size may be less than 32.
    TextAnswer CopyText(uint32_t code, uint32_t number, uint32_t size, void* instance = nullptr) const
    {
        std::string buffer(kTextBufferBytes, kUntouched);
        ByteRecord<24> query;
        query.PutU32(0, number);
        query.PutPointer(8, &buffer[0]);
        query.PutU32(16, size);
        const uint32_t result = this->CallRecord(code, query.Data(), instance);
        return {result, buffer};
    }
    // Code 46 with the given capacity, into four entries filled with 0xEE, or with no array.
    EventsAnswer Events(void* instance, uint32_t capacity, bool withArray = true) const
    {
        EventsAnswer answer;
        std::memset(answer.entries.Data(), 0xEE, 64);
        ByteRecord<16> record;
        record.PutU32(0, capacity);
        record.PutPointer(8, withArray ? answer.entries.Data() : nullptr);
        answer.result = this->CallRecord(ffgl::kGetParameterEvents, record.Data(), instance);
        answer.count = record.U32(0);
        return answer;
    }
    uint32_t SetBeat(void* instance, float tempo, float barPhase) const
    {
        ByteRecord<8> record;
        record.PutF32(0, tempo);
        record.PutF32(4, barPhase);
        return this->CallRecord(ffgl::kSetBeatInfo, record.Data(), instance);
    }
    uint32_t SetHostInfo(void* instance, const char* name, const char* version) const
    {
        ByteRecord<16> record;
        record.PutPointer(0, name);
        record.PutPointer(8, version);
        return this->CallRecord(ffgl::kSetHostInfo, record.Data(), instance);
    }
};

// ---------------------------------------------------------------------------
// The effect, asked without an instance: the prototype answers.

class ParameterDetailEffectTest : public DetailHost<PluginTest> {};

TEST_F(ParameterDetailEffectTest, ElementCountIsFourForBoxStyleAndOneForEveryOtherParameter)
{
    for (uint32_t number = 0; number < 10; ++number) {
        SCOPED_TRACE(number);
        EXPECT_EQ(Call32(ffgl::kGetNumParameterElements, number), number == kBoxStyle ? 4u : 1u);
    }
    EXPECT_EQ(Call32(ffgl::kGetNumParameterElements, 10), kFailureCode) << "unknown parameter";
}

TEST_F(ParameterDetailEffectTest, ElementsAnswerTheirNamesAndValuesAndNothingOutOfRange)
{
    struct Case {
        uint32_t number, element;
        const char* name;  // null: no text
        uint32_t valueBits;
    };
    const Case cases[] = {
        {kBoxStyle, 0, "Rectangle", FloatBitsOf(0.0f)}, {kBoxStyle, 1, "Corners", FloatBitsOf(1.0f)},
        {kBoxStyle, 2, "Brackets", FloatBitsOf(2.0f)},  {kBoxStyle, 3, "Dashed", FloatBitsOf(3.0f)},
        {kBoxStyle, 4, nullptr, kFailureCode},          {0, 0, "", FloatBitsOf(0.0f)},
        {9, 0, "", FloatBitsOf(0.0f)},                  {0, 1, nullptr, kFailureCode},
        {10, 0, nullptr, kFailureCode},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "parameter " << c.number << " element " << c.element);
        if (c.name)
            EXPECT_STREQ(ElementName(c.number, c.element), c.name);
        else
            EXPECT_EQ(CallPair(ffgl::kGetParameterElementName, c.number, c.element), 0u);
        EXPECT_EQ(ElementValue(c.number, c.element), c.valueBits);
    }
}

TEST_F(ParameterDetailEffectTest, EveryParameterHasUsageZeroAndIsVisible)
{
    for (uint32_t number = 0; number < 10; ++number) {
        SCOPED_TRACE(number);
        EXPECT_EQ(Call32(ffgl::kGetParameterUsage, number), 0u);
        EXPECT_EQ(Call32(ffgl::kGetParameterVisibility, number), 1u);
    }
    EXPECT_EQ(Call32(ffgl::kGetParameterUsage, 10), kFailureCode) << "unknown parameter";
    EXPECT_EQ(Call32(ffgl::kGetParameterVisibility, 10), kFailureCode) << "unknown parameter";
}

TEST_F(ParameterDetailEffectTest, RangeIsZeroToOneForEveryParameterAndForUnknownOnes)
{
    for (uint32_t number : {0u, 1u, 2u, 3u, 4u, 5u, 6u, 7u, 8u, 9u, 10u, 999u, 0xFFFFFFFFu}) {
        SCOPED_TRACE(number);
        const RangeAnswer range = Range(number);
        EXPECT_EQ(range.result, 0u);
        EXPECT_EQ(range.number, number) << "the input field stays";
        EXPECT_EQ(FloatBitsOf(range.minimum), FloatBitsOf(0.0f));
        EXPECT_EQ(FloatBitsOf(range.maximum), FloatBitsOf(1.0f));
    }
}

TEST_F(ParameterDetailEffectTest, NoParameterHasFileExtensionsOrSeparators)
{
    for (uint32_t number = 0; number <= 10; ++number) {
        SCOPED_TRACE(number);
        EXPECT_EQ(Call32(ffgl::kGetNumFileExtensions, number), 0u);
        EXPECT_EQ(CallPair(ffgl::kGetFileExtension, number, 0), 0u);
        EXPECT_EQ(Call32(ffgl::kGetNumElementSeparators, number), 0u);
        EXPECT_EQ(Separator(number, 0), kFailureCode);
    }
}

TEST_F(ParameterDetailEffectTest, ShortNameIsNone)
{
    EXPECT_EQ(library->Call(ffgl::kGetPluginShortName), 0u);
}

TEST_F(ParameterDetailEffectTest, GroupNameCopiesNothingAndFailsForAZeroBufferSize)
{
    for (uint32_t number : {0u, 4u, 9u, 10u}) {
        for (uint32_t size : {1u, 16u, 32u}) {
            SCOPED_TRACE(testing::Message() << "parameter " << number << " size " << size);
            const TextAnswer answer = CopyText(ffgl::kGetParameterGroup, number, size);
            EXPECT_EQ(answer.result, 0u);
            EXPECT_EQ(answer.buffer, Buffer(""));
        }
        const TextAnswer zeroSize = CopyText(ffgl::kGetParameterGroup, number, 0);
        EXPECT_EQ(zeroSize.result, kFailureCode);
        EXPECT_EQ(zeroSize.buffer, Buffer(""));
    }
}

TEST_F(ParameterDetailEffectTest, CodesThatNeedAnInstanceFailWithoutOne)
{
    ByteRecord<12> element;
    element.PutU32(0, kBoxStyle);
    element.PutU32(4, 2);
    element.PutF32(8, 5.0f);
    ByteRecord<8> beat;
    beat.PutF32(0, 100.0f);
    ByteRecord<16> hostInfo;
    hostInfo.PutPointer(0, "host");
    hostInfo.PutPointer(8, "1.0");
    ByteRecord<64> entries;
    ByteRecord<16> events;
    events.PutU32(0, 4);
    events.PutPointer(8, entries.Data());
    char buffer[8] = {};
    ByteRecord<24> query;
    query.PutPointer(8, buffer);
    query.PutU32(16, sizeof(buffer));

    const std::pair<uint32_t, uint64_t> cases[] = {
        {ffgl::kSetParameterElementValue, reinterpret_cast<uintptr_t>(element.Data())},
        {ffgl::kSetBeatInfo, reinterpret_cast<uintptr_t>(beat.Data())},
        {ffgl::kSetHostInfo, reinterpret_cast<uintptr_t>(hostInfo.Data())},
        {ffgl::kSetSampleRate, 48000},
        {ffgl::kGetParameterEvents, reinterpret_cast<uintptr_t>(events.Data())},
        {ffgl::kEnablePluginCap, ffgl::kCapabilityTopLeftOrientation},
        {ffgl::kGetParameterDisplayName, reinterpret_cast<uintptr_t>(query.Data())},
    };
    for (const auto& [code, input] : cases) {
        SCOPED_TRACE(code);
        EXPECT_EQ(Call32(code, input, nullptr), kFailureCode);
    }
    EXPECT_EQ(ElementValue(kBoxStyle, 2), FloatBitsOf(2.0f)) << "code 37 did not reach the prototype";
    EXPECT_EQ(events.U32(0), 4u) << "no count was written";
}

TEST_F(ParameterDetailEffectTest, MissingRecordsOfPrototypeCodesAnswerTheFailureCode)
{
    // Codes answering a text pointer report the failure as 0.
    const std::pair<uint32_t, uint64_t> cases[] = {
        {ffgl::kGetParameterElementName, 0},          {ffgl::kGetParameterElementValue, kFailureCode},
        {ffgl::kGetRange, kFailureCode},     {ffgl::kGetFileExtension, 0},
        {ffgl::kGetElementSeparator, kFailureCode}, {ffgl::kGetParameterGroup, kFailureCode},
    };
    for (const auto& [code, answer] : cases) {
        SCOPED_TRACE(code);
        EXPECT_EQ(library->Call(code, 0, nullptr), answer);
    }
}

TEST_F(ParameterDetailEffectTest, GroupNameWithoutABufferFails)
{
    ByteRecord<24> query;
    query.PutU32(0, 0);
    query.PutU32(16, 16);
    EXPECT_EQ(CallRecord(ffgl::kGetParameterGroup, query.Data()), kFailureCode);
}

// ---------------------------------------------------------------------------
// The effect with working instances.

class ParameterDetailInstanceTest : public DetailHost<GlPluginTest> {
protected:
    void SetUp() override
    {
        GlPluginTest::SetUp();
        if (HasFatalFailure())
            return;
        instance = NewInstance();
        ASSERT_NE(instance, nullptr);
    }
    void TearDown() override
    {
        for (void* made : instances)
            EXPECT_EQ(Call32(ffgl::kDeinstantiateGL, 0, made), 0u);
        GlPluginTest::TearDown();
    }
    void* NewInstance()
    {
        void* made = CreateInstance();
        if (made)
            instances.push_back(made);
        return made;
    }

    void* instance = nullptr;
    std::vector<void*> instances;
};

TEST_F(ParameterDetailInstanceTest, ElementValueSetOnAnInstanceChangesThatInstanceOnly)
{
    void* other = NewInstance();
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(SetElementValue(kBoxStyle, 2, 7.5f, instance), 0u);
    EXPECT_EQ(ElementValue(kBoxStyle, 2, instance), FloatBitsOf(7.5f));
    EXPECT_EQ(ElementValue(kBoxStyle, 2), FloatBitsOf(2.0f)) << "the prototype keeps its value";
    EXPECT_EQ(ElementValue(kBoxStyle, 2, other), FloatBitsOf(2.0f)) << "another instance keeps its value";
    EXPECT_STREQ(ElementName(kBoxStyle, 2, instance), "Brackets") << "the name stays";
    EXPECT_EQ(ElementValue(kBoxStyle, 1, instance), FloatBitsOf(1.0f)) << "other elements stay";
}

TEST_F(ParameterDetailInstanceTest, SettingAnElementOutsideTheRegistryFailsAndChangesNothing)
{
    const std::pair<uint32_t, uint32_t> cases[] = {{kBoxStyle, 4}, {0, 1}, {10, 0}, {0xFFFFFFFFu, 0}};
    for (const auto& [number, element] : cases) {
        SCOPED_TRACE(testing::Message() << "parameter " << number << " element " << element);
        EXPECT_EQ(SetElementValue(number, element, 9.0f, instance), kFailureCode);
    }
    for (uint32_t element = 0; element < 4; ++element)
        EXPECT_EQ(ElementValue(kBoxStyle, element, instance), FloatBitsOf(static_cast<float>(element)));
    EXPECT_EQ(ElementValue(0, 0, instance), FloatBitsOf(0.0f));
}

TEST_F(ParameterDetailInstanceTest, InstanceAnswersElementsAndVisibilityLikeThePrototype)
{
    for (uint32_t number = 0; number < 10; ++number) {
        SCOPED_TRACE(number);
        EXPECT_EQ(Call32(ffgl::kGetNumParameterElements, number, instance), number == kBoxStyle ? 4u : 1u);
        EXPECT_EQ(Call32(ffgl::kGetParameterVisibility, number, instance), 1u);
    }
    EXPECT_EQ(Call32(ffgl::kGetNumParameterElements, 10, instance), kFailureCode);
    EXPECT_EQ(Call32(ffgl::kGetParameterVisibility, 10, instance), kFailureCode);
    EXPECT_STREQ(ElementName(kBoxStyle, 3, instance), "Dashed");
}

TEST_F(ParameterDetailInstanceTest, HostNotificationsAnswerSuccess)
{
    EXPECT_EQ(SetBeat(instance, 140.0f, 0.5f), 0u);
    EXPECT_EQ(SetHostInfo(instance, "Host", "9.1"), 0u);
    EXPECT_EQ(Call32(ffgl::kSetSampleRate, 44100, instance), 0u);
    EXPECT_EQ(Call32(ffgl::kGetParameter, 0, instance), FloatBitsOf(0.4f)) << "the parameters are not disturbed";
}

TEST_F(ParameterDetailInstanceTest, EventsAreAlwaysNone)
{
    const EventsAnswer harvested = Events(instance, 4);
    EXPECT_EQ(harvested.result, 0u);
    EXPECT_EQ(harvested.count, 0u);
    for (size_t entry = 0; entry < 4; ++entry)
        EXPECT_TRUE(harvested.Untouched(entry)) << entry;
    const EventsAnswer counted = Events(instance, 9, false);
    EXPECT_EQ(counted.result, 0u);
    EXPECT_EQ(counted.count, 0u);
}

TEST_F(ParameterDetailInstanceTest, EnablingACapabilityFailsAndChangesNothing)
{
    for (uint32_t capability : {16u, 0u, 5u, 10u, 11u, 15u, 17u}) {
        SCOPED_TRACE(capability);
        EXPECT_EQ(Call32(ffgl::kEnablePluginCap, capability, instance), kFailureCode);
    }
    EXPECT_EQ(Call32(ffgl::kGetPluginCaps, ffgl::kCapabilityTopLeftOrientation), 0u)
        << "top-left orientation is still not supported";
    EXPECT_EQ(Call32(ffgl::kGetParameter, 4, instance), FloatBitsOf(1.0f));
}

TEST_F(ParameterDetailInstanceTest, DisplayNameCopiesNothingAndFailsForAZeroBufferSize)
{
    for (uint32_t number : {0u, 4u, 9u, 10u}) {
        for (uint32_t size : {1u, 16u, 32u}) {
            SCOPED_TRACE(testing::Message() << "parameter " << number << " size " << size);
            const TextAnswer answer = CopyText(ffgl::kGetParameterDisplayName, number, size, instance);
            EXPECT_EQ(answer.result, 0u);
            EXPECT_EQ(answer.buffer, Buffer(""));
        }
        EXPECT_EQ(CopyText(ffgl::kGetParameterDisplayName, number, 0, instance).result, kFailureCode);
    }
}

TEST_F(ParameterDetailInstanceTest, MissingRecordsOfInstanceCodesAnswerTheFailureCode)
{
    const std::pair<uint32_t, uint64_t> cases[] = {
        {ffgl::kGetParameterElementName, 0},
        {ffgl::kGetParameterElementValue, kFailureCode},
        {ffgl::kSetParameterElementValue, kFailureCode},
        {ffgl::kSetBeatInfo, kFailureCode},
        {ffgl::kSetHostInfo, kFailureCode},
        {ffgl::kGetParameterEvents, kFailureCode},
        {ffgl::kGetParameterDisplayName, kFailureCode},
    };
    for (const auto& [code, answer] : cases) {
        SCOPED_TRACE(code);
        EXPECT_EQ(library->Call(code, 0, instance), answer);
    }
    ByteRecord<24> query;
    query.PutU32(16, 16);
    EXPECT_EQ(CallRecord(ffgl::kGetParameterDisplayName, query.Data(), instance), kFailureCode) << "no buffer";
}

// ---------------------------------------------------------------------------
// The detail probe: a registry with every detail filled in, readouts of what
// the host told the instance, events on demand.

class ParameterDetailProbeTest : public ParameterDetailInstanceTest {
protected:
    virtual const char* ProbePath() const { return ZAO_DETAIL_PROBE_PATH; }
    void SetUp() override
    {
        pluginPath = ProbePath();
        GlPluginTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(Call32(ffgl::kInitialiseV2), 0u);
        instance = NewInstance();
        ASSERT_NE(instance, nullptr);
    }
    float Readout(void* addressed, uint32_t number) const
    {
        return hostkit::FloatOfBits(Call32(ffgl::kGetParameter, number, addressed));
    }
    std::string TextReadout(void* addressed, uint32_t number) const
    {
        const char* text = CallText(ffgl::kGetParameter, number, addressed);
        return text ? text : "<none>";
    }
};

TEST_F(ParameterDetailProbeTest, ShortNameIsThePrototypes)
{
    EXPECT_STREQ(CallText(ffgl::kGetPluginShortName), "DPRB");
}

TEST_F(ParameterDetailProbeTest, FileExtensionsAreCountedAndListedInOrder)
{
    EXPECT_EQ(Call32(ffgl::kGetNumFileExtensions, kMedia), 2u);
    EXPECT_STREQ(FileExtension(kMedia, 0), "png");
    EXPECT_STREQ(FileExtension(kMedia, 1), "jpeg");
    EXPECT_EQ(CallPair(ffgl::kGetFileExtension, kMedia, 2), 0u) << "beyond the list";
    EXPECT_EQ(Call32(ffgl::kGetNumFileExtensions, kMode), 0u);
    EXPECT_EQ(CallPair(ffgl::kGetFileExtension, kMode, 0), 0u);
    EXPECT_EQ(Call32(ffgl::kGetNumFileExtensions, 99), 0u) << "unknown parameter";
    EXPECT_EQ(CallPair(ffgl::kGetFileExtension, 99, 0), 0u) << "unknown parameter";
}

TEST_F(ParameterDetailProbeTest, SeparatorsAreCountedAndListedAsRegistered)
{
    EXPECT_EQ(Call32(ffgl::kGetNumElementSeparators, kMode), 2u);
    EXPECT_EQ(Separator(kMode, 0), 2u);
    EXPECT_EQ(Separator(kMode, 1), 1u);
    EXPECT_EQ(Separator(kMode, 2), kFailureCode) << "beyond the list";
    EXPECT_EQ(Call32(ffgl::kGetNumElementSeparators, kMedia), 0u);
    EXPECT_EQ(Separator(kMedia, 0), kFailureCode);
    EXPECT_EQ(Call32(ffgl::kGetNumElementSeparators, 99), 0u) << "unknown parameter";
    EXPECT_EQ(Separator(99, 0), kFailureCode) << "unknown parameter";
}

TEST_F(ParameterDetailProbeTest, UsageVisibilityAndRangeAreTheRegistrys)
{
    EXPECT_EQ(Call32(ffgl::kGetParameterUsage, kMedia), 3u);
    EXPECT_EQ(Call32(ffgl::kGetParameterVisibility, kMedia), 0u) << "hidden";
    EXPECT_EQ(Call32(ffgl::kGetParameterVisibility, kMode), 1u);
    const RangeAnswer range = Range(kMedia);
    EXPECT_EQ(range.result, 0u);
    EXPECT_EQ(range.minimum, -2.0f);
    EXPECT_EQ(range.maximum, 5.0f);
}

TEST_F(ParameterDetailProbeTest, GroupAndDisplayNamesAreCopiedWithoutTerminatorUpToTheBufferSize)
{
    struct Case {
        uint32_t size;
        const char* group;    // bytes of "Sources" that fit
        const char* display;  // bytes of "Clip" that fit
    };
    const Case cases[] = {{32, "Sources", "Clip"}, {8, "Sources", "Clip"}, {7, "Sources", "Clip"},
                          {4, "Sour", "Clip"},     {3, "Sou", "Cli"},      {1, "S", "C"}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.size);
        const TextAnswer group = CopyText(ffgl::kGetParameterGroup, kMedia, c.size);
        EXPECT_EQ(group.result, 0u);
        EXPECT_EQ(group.buffer, Buffer(c.group));
        const TextAnswer display = CopyText(ffgl::kGetParameterDisplayName, kMedia, c.size, instance);
        EXPECT_EQ(display.result, 0u);
        EXPECT_EQ(display.buffer, Buffer(c.display));
    }
    EXPECT_EQ(CopyText(ffgl::kGetParameterGroup, kMedia, 0).buffer, Buffer("")) << "zero size copies nothing";
    EXPECT_EQ(CopyText(ffgl::kGetParameterGroup, 99, 32).buffer, Buffer("")) << "unknown parameter: the empty text";
    EXPECT_EQ(CopyText(ffgl::kGetParameterDisplayName, 99, 32, instance).buffer, Buffer("")) << "unknown parameter: the empty text";
}

// After Reshape the instance's registry differs from the prototype's in every detail.
class ParameterDetailReshapedProbeTest : public ParameterDetailProbeTest {
protected:
    void SetUp() override
    {
        ParameterDetailProbeTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(SetFloat(instance, kReshape, 1.0f), 0u);
    }
};

TEST_F(ParameterDetailReshapedProbeTest, InstanceOrPrototypeCodesAskTheInstanceWhenGivenOne)
{
    EXPECT_EQ(Call32(ffgl::kGetNumParameterElements, kMode, instance), 5u);
    EXPECT_EQ(Call32(ffgl::kGetNumParameterElements, kMode), 3u);
    EXPECT_STREQ(ElementName(kMode, 0, instance), "Reshaped");
    EXPECT_STREQ(ElementName(kMode, 0), "Low");
    EXPECT_EQ(ElementValue(kMode, 0, instance), FloatBitsOf(9.0f));
    EXPECT_EQ(ElementValue(kMode, 0), FloatBitsOf(0.25f));
    EXPECT_EQ(Call32(ffgl::kGetParameterVisibility, kMedia, instance), 1u);
    EXPECT_EQ(Call32(ffgl::kGetParameterVisibility, kMedia), 0u);
}

TEST_F(ParameterDetailReshapedProbeTest, PrototypeCodesIgnoreTheInstanceHandle)
{
    for (void* handle : {static_cast<void*>(nullptr), instance}) {
        SCOPED_TRACE(handle ? "with the instance" : "without an instance");
        EXPECT_EQ(Call32(ffgl::kGetParameterUsage, kMedia, handle), 3u);
        EXPECT_STREQ(CallText(ffgl::kGetPluginShortName, 0, handle), "DPRB");
        const RangeAnswer range = Range(kMedia, handle);
        EXPECT_EQ(range.minimum, -2.0f);
        EXPECT_EQ(range.maximum, 5.0f);
        EXPECT_EQ(Call32(ffgl::kGetNumFileExtensions, kMedia, handle), 2u);
        EXPECT_STREQ(FileExtension(kMedia, 0, handle), "png");
        EXPECT_EQ(Call32(ffgl::kGetNumElementSeparators, kMode, handle), 2u);
        EXPECT_EQ(Separator(kMode, 0, handle), 2u);
        EXPECT_EQ(CopyText(ffgl::kGetParameterGroup, kMedia, 32, handle).buffer, Buffer("Sources"));
    }
}

TEST_F(ParameterDetailReshapedProbeTest, DisplayNameComesFromTheAddressedInstance)
{
    void* plain = NewInstance();
    ASSERT_NE(plain, nullptr);
    EXPECT_EQ(CopyText(ffgl::kGetParameterDisplayName, kMedia, 32, instance).buffer, Buffer("Renamed"));
    EXPECT_EQ(CopyText(ffgl::kGetParameterDisplayName, kMedia, 32, plain).buffer, Buffer("Clip"));
}

TEST_F(ParameterDetailProbeTest, HostInformationIsCopiedSoTheHostMayFreeItsTexts)
{
    auto name = std::make_unique<char[]>(16);
    auto version = std::make_unique<char[]>(16);
    std::strcpy(name.get(), "Resolume");
    std::strcpy(version.get(), "7.19.1");
    EXPECT_EQ(SetHostInfo(instance, name.get(), version.get()), 0u);
    // Scribble over the host's texts, then free them: the stored copies must not follow.
    std::memset(name.get(), 'Z', 15);
    std::memset(version.get(), 'Z', 15);
    EXPECT_EQ(TextReadout(instance, kHostName), "Resolume");
    EXPECT_EQ(TextReadout(instance, kHostVersion), "7.19.1");
    name.reset();
    version.reset();
    EXPECT_EQ(TextReadout(instance, kHostName), "Resolume");
    EXPECT_EQ(TextReadout(instance, kHostVersion), "7.19.1");
}

TEST_F(ParameterDetailProbeTest, NullHostTextsAreStoredAsEmptyTexts)
{
    struct Case {
        const char* name;
        const char* version;
        const char* storedName;
        const char* storedVersion;
    };
    const Case cases[] = {{nullptr, "2.5", "", "2.5"}, {"Arena", nullptr, "Arena", ""}, {nullptr, nullptr, "", ""}};
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << c.storedName << " / " << c.storedVersion);
        ASSERT_EQ(SetHostInfo(instance, "old name", "old version"), 0u);
        EXPECT_EQ(SetHostInfo(instance, c.name, c.version), 0u);
        EXPECT_EQ(TextReadout(instance, kHostName), c.storedName);
        EXPECT_EQ(TextReadout(instance, kHostVersion), c.storedVersion);
    }
}

TEST_F(ParameterDetailProbeTest, BeatInformationReachesTheAddressedInstanceOnly)
{
    void* other = NewInstance();
    ASSERT_NE(other, nullptr);
    EXPECT_EQ(Readout(instance, kTempo), 120.0f) << "start value";
    EXPECT_EQ(Readout(instance, kBarPhase), 0.0f) << "start value";
    EXPECT_EQ(SetBeat(instance, 133.5f, 0.75f), 0u);
    EXPECT_EQ(Readout(instance, kTempo), 133.5f);
    EXPECT_EQ(Readout(instance, kBarPhase), 0.75f);
    EXPECT_EQ(Readout(other, kTempo), 120.0f);
    EXPECT_EQ(Readout(other, kBarPhase), 0.0f);
}

TEST_F(ParameterDetailProbeTest, SampleRateReachesTheInstance)
{
    for (uint32_t rate : {48000u, 44100u, 0u}) {
        SCOPED_TRACE(rate);
        EXPECT_EQ(Call32(ffgl::kSetSampleRate, rate, instance), 0u);
        EXPECT_EQ(Readout(instance, kSampleRate), static_cast<float>(rate));
    }
}

TEST_F(ParameterDetailProbeTest, EventsWithoutAnArrayReportTheCountAndClearNothing)
{
    ASSERT_EQ(SetFloat(instance, kRaiseEvents, 1.0f), 0u);
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        const EventsAnswer counted = Events(instance, 0, false);
        EXPECT_EQ(counted.result, 0u);
        EXPECT_EQ(counted.count, 3u);
    }
    const EventsAnswer harvested = Events(instance, 4);
    EXPECT_EQ(harvested.count, 3u) << "all three still pending";
}

TEST_F(ParameterDetailProbeTest, EventsAreHarvestedInRegistryOrderUpToTheCapacityAndCleared)
{
    ASSERT_EQ(SetFloat(instance, kRaiseEvents, 1.0f), 0u);
    const EventsAnswer first = Events(instance, 2);
    EXPECT_EQ(first.result, 0u);
    ASSERT_EQ(first.count, 2u);
    EXPECT_EQ(first.Number(0), kTempo);
    EXPECT_EQ(first.Flags(0), 0x0000000100000001ull);
    EXPECT_EQ(first.Number(1), kSampleRate);
    EXPECT_EQ(first.Flags(1), 0x2ull);
    EXPECT_TRUE(first.Untouched(2)) << "the capacity was two";
    EXPECT_TRUE(first.Untouched(3));

    EXPECT_EQ(Events(instance, 0, false).count, 1u) << "the third is still pending";
    const EventsAnswer second = Events(instance, 4);
    EXPECT_EQ(second.result, 0u);
    ASSERT_EQ(second.count, 1u);
    EXPECT_EQ(second.Number(0), kMedia);
    EXPECT_EQ(second.Flags(0), 0x8000000000000000ull);
    EXPECT_TRUE(second.Untouched(1));

    const EventsAnswer third = Events(instance, 4);
    EXPECT_EQ(third.result, 0u);
    EXPECT_EQ(third.count, 0u);
    EXPECT_TRUE(third.Untouched(0));
}

TEST_F(ParameterDetailProbeTest, EventsWithZeroCapacityWriteNothingAndStayPending)
{
    ASSERT_EQ(SetFloat(instance, kRaiseEvents, 1.0f), 0u);
    const EventsAnswer none = Events(instance, 0);
    EXPECT_EQ(none.result, 0u);
    EXPECT_EQ(none.count, 0u);
    EXPECT_TRUE(none.Untouched(0));
    EXPECT_EQ(Events(instance, 0, false).count, 3u);
}

TEST_F(ParameterDetailProbeTest, EventsBelongToTheAddressedInstance)
{
    void* quiet = NewInstance();
    ASSERT_NE(quiet, nullptr);
    ASSERT_EQ(SetFloat(instance, kRaiseEvents, 1.0f), 0u);
    EXPECT_EQ(Events(quiet, 0, false).count, 0u);
    EXPECT_EQ(Events(quiet, 4).count, 0u);
    EXPECT_EQ(Events(instance, 0, false).count, 3u);
}

TEST_F(ParameterDetailProbeTest, EnablingTopLeftOrientationSetsTheAddressedInstancesFlag)
{
    void* other = NewInstance();
    ASSERT_NE(other, nullptr);
    ASSERT_EQ(Call32(ffgl::kGetPluginCaps, ffgl::kCapabilityTopLeftOrientation), 1u) << "the probe supports it";
    for (uint32_t capability : {0u, 5u, 10u, 11u, 15u, 17u}) {
        SCOPED_TRACE(capability);
        EXPECT_EQ(Call32(ffgl::kEnablePluginCap, capability, instance), kFailureCode);
    }
    EXPECT_EQ(Readout(instance, kTopLeftEnabled), 0.0f) << "only capability 16 is considered";
    EXPECT_EQ(Call32(ffgl::kEnablePluginCap, ffgl::kCapabilityTopLeftOrientation, instance), 0u);
    EXPECT_EQ(Readout(instance, kTopLeftEnabled), 1.0f);
    EXPECT_EQ(Readout(other, kTopLeftEnabled), 0.0f);
    EXPECT_EQ(Call32(ffgl::kEnablePluginCap, ffgl::kCapabilityTopLeftOrientation), kFailureCode) << "no instance";
}

class ParameterDetailFlatProbeTest : public ParameterDetailProbeTest {
protected:
    const char* ProbePath() const override { return ZAO_FLAT_DETAIL_PROBE_PATH; }
};

TEST_F(ParameterDetailFlatProbeTest, EnablingTopLeftOrientationWithoutSupportFailsAndLeavesTheFlagClear)
{
    ASSERT_EQ(Call32(ffgl::kGetPluginCaps, ffgl::kCapabilityTopLeftOrientation), 0u);
    EXPECT_EQ(Call32(ffgl::kEnablePluginCap, ffgl::kCapabilityTopLeftOrientation, instance), kFailureCode);
    EXPECT_EQ(Readout(instance, kTopLeftEnabled), 0.0f);
}

// ---------------------------------------------------------------------------
// Without a prototype: the probe's factory fails from the moment its latch is set.

class ParameterDetailWithoutPrototypeTest : public ParameterDetailProbeTest {
protected:
    void SetUp() override
    {
        ParameterDetailProbeTest::SetUp();
        if (HasFatalFailure())
            return;
        ASSERT_EQ(SetFloat(instance, kFactoryFails, 1.0f), 0u);
        ASSERT_EQ(Call32(ffgl::kDeinitialise), 0u);
        ASSERT_EQ(library->Call(ffgl::kInitialiseV2), kFailureCode) << "the prototype cannot be made";
    }
};

TEST_F(ParameterDetailWithoutPrototypeTest, PrototypeCodesAnswerTheirFallbacks)
{
    // With a prototype the probe answers 3, 3, "DPRB", "Low", 0.25, 2, "png", 0, 2, 2 and "Sources".
    const std::pair<uint32_t, uint64_t> simple[] = {
        {ffgl::kGetNumParameterElements, kMode},  // no instance handle: asks the prototype
        {ffgl::kGetParameterUsage, kMedia},
        {ffgl::kGetNumFileExtensions, kMedia},
        {ffgl::kGetParameterVisibility, kMedia},
        {ffgl::kGetNumElementSeparators, kMode},
    };
    const uint64_t simpleAnswers[] = {kFailureCode, kFailureCode, kFailureCode, kFailureCode, 0};
    for (size_t i = 0; i < std::size(simple); ++i) {
        SCOPED_TRACE(simple[i].first);
        EXPECT_EQ(library->Call(simple[i].first, simple[i].second), simpleAnswers[i]);
    }
    EXPECT_EQ(library->Call(ffgl::kGetPluginShortName), 0u);
    EXPECT_EQ(CallPair(ffgl::kGetParameterElementName, kMode, 0), 0u);
    EXPECT_EQ(CallPair(ffgl::kGetParameterElementValue, kMode, 0), kFailureCode);
    EXPECT_EQ(CallPair(ffgl::kGetFileExtension, kMedia, 0), 0u);
    EXPECT_EQ(CallPair(ffgl::kGetElementSeparator, kMode, 0), kFailureCode);

    const RangeAnswer range = Range(kMedia);
    EXPECT_EQ(range.result, kFailureCode);
    EXPECT_EQ(range.minimum, 7.0f) << "record untouched";
    EXPECT_EQ(range.maximum, -7.0f) << "record untouched";

    const TextAnswer group = CopyText(ffgl::kGetParameterGroup, kMedia, 32);
    EXPECT_EQ(group.result, kFailureCode);
    EXPECT_EQ(group.buffer, Buffer(""));
}

TEST_F(ParameterDetailWithoutPrototypeTest, EnablingACapabilityFailsWithoutAPrototypeToAsk)
{
    EXPECT_EQ(Call32(ffgl::kEnablePluginCap, ffgl::kCapabilityTopLeftOrientation, instance), kFailureCode);
    EXPECT_EQ(Readout(instance, kTopLeftEnabled), 0.0f);
}

TEST_F(ParameterDetailWithoutPrototypeTest, CodesThatAskTheInstanceStillAnswer)
{
    EXPECT_EQ(Call32(ffgl::kGetNumParameterElements, kMode, instance), 3u);
    EXPECT_STREQ(ElementName(kMode, 1, instance), "Mid");
    EXPECT_EQ(ElementValue(kMode, 1, instance), FloatBitsOf(0.5f));
    EXPECT_EQ(Call32(ffgl::kGetParameterVisibility, kMedia, instance), 0u);
    EXPECT_EQ(SetElementValue(kMode, 1, 4.0f, instance), 0u);
    EXPECT_EQ(ElementValue(kMode, 1, instance), FloatBitsOf(4.0f));
    EXPECT_EQ(SetBeat(instance, 90.0f, 0.5f), 0u);
    EXPECT_EQ(Readout(instance, kTempo), 90.0f);
    EXPECT_EQ(SetHostInfo(instance, "Host", "1"), 0u);
    EXPECT_EQ(Call32(ffgl::kSetSampleRate, 22050, instance), 0u);
    EXPECT_EQ(Readout(instance, kSampleRate), 22050.0f);
    ASSERT_EQ(SetFloat(instance, kRaiseEvents, 1.0f), 0u);
    EXPECT_EQ(Events(instance, 4).count, 3u);
    EXPECT_EQ(CopyText(ffgl::kGetParameterDisplayName, kMedia, 32, instance).buffer, Buffer("Clip"));
}

}  // namespace
