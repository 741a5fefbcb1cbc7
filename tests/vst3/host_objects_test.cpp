// The host's own objects as a plug-in calls them, its mistakes included: every call answers
// as documented (hosts/common/vst3_*.h) and leaves the object whole.
#include "vst3_fixture.h"

#include "hosts/common/vst3_host_application.h"
#include "hosts/common/vst3_memory_stream.h"
#include "hosts/common/vst3_message.h"
#include "hosts/common/vst3_parameter_changes.h"

#include <algorithm>
#include <cstring>
#include <iterator>

namespace kavet::test {
namespace {

using namespace vst3;
using host::Ref;

template <class T> Ref<T> make() {
    return Ref<T>::adopt(new T);
}

class Vst3HostObjects : public Vst3Test {};

TEST_F(Vst3HostObjects, StreamReadsWritesAndSeeksAsDocumented) {
    const auto s = Ref<host::MemoryStream>::adopt(new host::MemoryStream({1, 2, 3, 4, 5}));
    unsigned char buffer[8] = {};
    int32 n = -1;
    int64 at = -1;
    struct Step {
        const char* what;
        tresult (*call)(host::MemoryStream&, unsigned char*, int32&, int64&);
        tresult result;
        int32 count; // bytes read or written
        int64 position;
    } steps[] = {
        {"read 2", [](auto& st, auto* b, auto& c, auto&) { return st.read(b, 2, &c); }, kResultOk,
         2, 2},
        {"seek back from the end",
         [](auto& st, auto*, auto&, auto& p) { return st.seek(-1, IBStream::kIBSeekEnd, &p); },
         kResultOk, 0, 4},
        {"read past the end", [](auto& st, auto* b, auto& c, auto&) { return st.read(b, 8, &c); },
         kResultOk, 1, 5},
        {"read at the end", [](auto& st, auto* b, auto& c, auto&) { return st.read(b, 1, &c); },
         kResultOk, 0, 5},
        {"negative read", [](auto& st, auto* b, auto& c, auto&) { return st.read(b, -1, &c); },
         kInvalidArgument, 0, 5},
        {"seek from the end",
         [](auto& st, auto*, auto&, auto& p) { return st.seek(-4, IBStream::kIBSeekEnd, &p); },
         kResultOk, 0, 1},
        {"seek before the start",
         [](auto& st, auto*, auto&, auto& p) { return st.seek(-2, IBStream::kIBSeekCur, &p); },
         kInvalidArgument, 0, 1},
        {"unknown seek mode", [](auto& st, auto*, auto&, auto& p) { return st.seek(0, 3, &p); },
         kInvalidArgument, 0, 1},
        {"write over and past the end",
         [](auto& st, auto* b, auto& c, auto&) { return st.write(b, 6, &c); }, kResultOk, 6, 7},
        {"write from a null buffer",
         [](auto& st, auto*, auto& c, auto&) { return st.write(nullptr, 1, &c); }, kInvalidArgument,
         0, 7},
    };
    for (const Step& step : steps) {
        SCOPED_TRACE(step.what);
        n = 0;
        std::fill(std::begin(buffer), std::end(buffer), 9);
        EXPECT_EQ(step.call(*s, buffer, n, at), step.result);
        EXPECT_EQ(n, step.count);
        int64 position = -1;
        EXPECT_EQ(s->tell(&position), kResultOk);
        EXPECT_EQ(position, step.position);
    }
    // 1, then six 9s written from position 1.
    EXPECT_EQ(s->bytes(), (std::vector<unsigned char>{1, 9, 9, 9, 9, 9, 9}));
}

// Points kept in order of offset, one per offset (the last value), none negative, at most
// kMaxPoints a queue and kMaxQueues queues.
TEST_F(Vst3HostObjects, ParameterChangesKeepPointsInOrder) {
    const auto changes = make<host::ParameterChanges>();
    const host::ParamChange list[] = {
        {3, 100, 0.5}, {1, 7, 0.25}, {3, 10, 0.75}, {3, 100, 1.0}, {3, 0, 0.0}};
    ASSERT_TRUE(changes->assign(list));
    ASSERT_EQ(changes->getParameterCount(), 2);
    IParamValueQueue* q = changes->getParameterData(0);
    ASSERT_NE(q, nullptr);
    EXPECT_EQ(q->getParameterId(), 3u);
    const std::pair<int32, double> wanted[] = {{0, 0.0}, {10, 0.75}, {100, 1.0}};
    ASSERT_EQ(q->getPointCount(), 3);
    for (int32 i = 0; i < 3; ++i) {
        int32 offset = -1;
        double value = -1;
        ASSERT_EQ(q->getPoint(i, offset, value), kResultOk);
        EXPECT_EQ(offset, wanted[i].first) << i;
        EXPECT_EQ(value, wanted[i].second) << i;
    }
    int32 offset = 0;
    double value = 0;
    EXPECT_NE(q->getPoint(3, offset, value), kResultOk);
    EXPECT_NE(q->getPoint(-1, offset, value), kResultOk);
    EXPECT_EQ(changes->getParameterData(2), nullptr);
    int32 index = -1;
    EXPECT_EQ(q->addPoint(-1, 0.5, index), kResultFalse);

    std::vector<host::ParamChange> tooMany;
    for (int32 i = 0; i <= host::ParamValueQueue::kMaxPoints; ++i)
        tooMany.push_back({0, i, 0.5});
    EXPECT_FALSE(changes->assign(tooMany));
    EXPECT_EQ(changes->getParameterCount(), 0);
    tooMany.clear();
    for (int32 i = 0; i <= host::ParameterChanges::kMaxQueues; ++i)
        tooMany.push_back({static_cast<ParamID>(i), 0, 0.5});
    EXPECT_FALSE(changes->assign(tooMany));
    tooMany.pop_back();
    EXPECT_TRUE(changes->assign(tooMany));
    EXPECT_EQ(changes->getParameterCount(), host::ParameterChanges::kMaxQueues);
}

// Messages and attribute lists are made for their own ids only; each value is read back as
// its own type only.
TEST_F(Vst3HostObjects, ApplicationMakesMessagesWithAttributes) {
    const auto app = make<host::HostApplication>();
    char16 name[128] = {};
    EXPECT_EQ(app->getName(name), kResultOk);
    EXPECT_EQ(narrow(name, 128), "Kavet VST 3 host");
    auto made = [&](const Uid& cid, const Uid& iid) {
        void* obj = reinterpret_cast<void*>(1);
        char c[16], i[16];
        std::memcpy(c, cid.bytes, 16);
        std::memcpy(i, iid.bytes, 16);
        const tresult result = app->createInstance(c, i, &obj);
        if (obj != nullptr) static_cast<FUnknown*>(obj)->release();
        return result == kResultOk && obj != nullptr;
    };
    EXPECT_TRUE(made(IMessage::iid, IMessage::iid));
    EXPECT_TRUE(made(IAttributeList::iid, IAttributeList::iid));
    EXPECT_TRUE(made(IMessage::iid, FUnknown::iid));
    EXPECT_FALSE(made(IMessage::iid, IAttributeList::iid));
    EXPECT_FALSE(made(IBStream::iid, IBStream::iid));

    const auto message = make<host::Message>();
    EXPECT_EQ(message->getMessageID(), nullptr);
    message->setMessageID("id");
    EXPECT_STREQ(message->getMessageID(), "id");
    IAttributeList* a = message->getAttributes();
    const unsigned char blob[3] = {1, 2, 3};
    EXPECT_EQ(a->setInt("n", -5), kResultOk);
    EXPECT_EQ(a->setFloat("f", 0.25), kResultOk);
    EXPECT_EQ(a->setString("s", u"text"), kResultOk);
    EXPECT_EQ(a->setBinary("b", blob, 3), kResultOk);
    EXPECT_EQ(a->setInt(nullptr, 1), kInvalidArgument);
    int64 n = 0;
    double f = 0;
    char16 text[3] = {};
    const void* data = nullptr;
    uint32 size = 0;
    EXPECT_EQ(a->getInt("n", n), kResultOk);
    EXPECT_EQ(n, -5);
    EXPECT_EQ(a->getFloat("f", f), kResultOk);
    EXPECT_EQ(f, 0.25);
    EXPECT_EQ(a->getString("s", text, sizeof text), kResultOk);
    EXPECT_EQ(narrow(text, 3), "te") << "cut to the buffer, terminated";
    EXPECT_EQ(a->getBinary("b", data, size), kResultOk);
    ASSERT_EQ(size, 3u);
    EXPECT_EQ(std::memcmp(data, blob, 3), 0);
    EXPECT_EQ(a->getInt("f", n), kResultFalse);
    EXPECT_EQ(a->getFloat("missing", f), kResultFalse);
}

} // namespace
} // namespace kavet::test
