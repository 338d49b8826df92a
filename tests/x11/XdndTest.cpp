#include "X11TestSupport.h"

#include <X11/Xatom.h>

namespace x11test {
namespace {

// The test plays the drag source on its own connection.
class XdndTest : public X11Fixture
{
protected:
    void SetUp() override
    {
        X11Fixture::SetUp();
        if (IsSkipped() || HasFatalFailure())
            return;
        source = XCreateSimpleWindow(display, DefaultRootWindow(display), 0, 0, 1, 1, 0, 0, 0);
        XSync(display, False);
    }

    Atom atom(const char* name) { return XInternAtom(display, name, False); }

    bool readWindowProperty(Window window, const char* name, long& value)
    {
        Atom type = None;
        int format = 0;
        unsigned long count = 0, after = 0;
        unsigned char* data = nullptr;
        if (XGetWindowProperty(display, window, atom(name), 0, 1, False, AnyPropertyType, &type, &format, &count,
                               &after, &data) != Success)
            return false;
        bool found = type != None && format == 32 && count == 1;
        if (found)
            value = *reinterpret_cast<long*>(data);
        if (data)
            XFree(data);
        return found;
    }

    // Where a source sends its messages for the host's top level.
    Window findProxy()
    {
        long proxy = 0, self = 0, version = 0;
        if (!readWindowProperty(parent, "XdndProxy", proxy))
            return 0;
        if (!readWindowProperty(static_cast<Window>(proxy), "XdndProxy", self) || self != proxy)
            return 0;
        if (!readWindowProperty(static_cast<Window>(proxy), "XdndAware", version) || version < 5)
            return 0;
        return static_cast<Window>(proxy);
    }

    void send(Window to, const char* type, long l1, long l2 = 0, long l3 = 0, long l4 = 0)
    {
        XEvent event = {};
        event.xclient.type = ClientMessage;
        event.xclient.display = display;
        event.xclient.window = parent; // the target as the source sees it
        event.xclient.message_type = atom(type);
        event.xclient.format = 32;
        event.xclient.data.l[0] = static_cast<long>(source);
        event.xclient.data.l[1] = l1;
        event.xclient.data.l[2] = l2;
        event.xclient.data.l[3] = l3;
        event.xclient.data.l[4] = l4;
        XSendEvent(display, to, False, NoEventMask, &event);
        XSync(display, False);
    }

    void enter(Window to, const std::vector<std::string>& types)
    {
        std::vector<long> atoms;
        for (const auto& name : types)
            atoms.push_back(static_cast<long>(atom(name.c_str())));
        long more = 0;
        if (atoms.size() > 3)
        {
            XChangeProperty(display, source, atom("XdndTypeList"), XA_ATOM, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(atoms.data()), static_cast<int>(atoms.size()));
            more = 1;
        }
        atoms.resize(std::max<size_t>(atoms.size(), 3), 0);
        send(to, "XdndEnter", (5L << 24) | more, atoms[0], atoms[1], atoms[2]);
    }

    // Position in frame window coordinates.
    void position(Window to, int x, int y)
    {
        int rootX = 0, rootY = 0;
        rootPosition(display, frameWindow(), x, y, rootX, rootY);
        statusReceived = false;
        send(to, "XdndPosition", 0, (static_cast<long>(rootX) << 16) | rootY, CurrentTime,
             static_cast<long>(atom("XdndActionCopy")));
    }

    void onTestEvent(XEvent& event) override
    {
        if (event.type == SelectionRequest)
        {
            XSelectionRequestEvent& request = event.xselectionrequest;
            XEvent reply = {};
            reply.xselection.type = SelectionNotify;
            reply.xselection.display = display;
            reply.xselection.requestor = request.requestor;
            reply.xselection.selection = request.selection;
            reply.xselection.target = request.target;
            reply.xselection.time = request.time;
            reply.xselection.property = None;
            ++selectionRequests;
            if (silent)
                return;
            if (request.target == atom(offeredType.c_str()) && chunkSize > 0)
            {
                // Announce an incremental transfer; pieces follow each deletion.
                XSelectInput(display, request.requestor, PropertyChangeMask);
                long size = static_cast<long>(payload.size());
                XChangeProperty(display, request.requestor, request.property, atom("INCR"), 32, PropModeReplace,
                                reinterpret_cast<unsigned char*>(&size), 1);
                incrWindow = request.requestor;
                incrProperty = request.property;
                incrSent = 0;
                incrDone = false;
                reply.xselection.property = request.property;
            }
            else if (request.target == atom(offeredType.c_str()))
            {
                XChangeProperty(display, request.requestor, request.property, request.target, 8, PropModeReplace,
                                reinterpret_cast<const unsigned char*>(payload.data()),
                                static_cast<int>(payload.size()));
                reply.xselection.property = request.property;
            }
            XSendEvent(display, request.requestor, False, NoEventMask, &reply);
            XFlush(display);
        }
        else if (event.type == PropertyNotify && event.xproperty.window == incrWindow &&
                 event.xproperty.atom == incrProperty && event.xproperty.state == PropertyDelete && !incrDone)
        {
            size_t length = std::min(chunkSize, payload.size() - incrSent);
            XChangeProperty(display, incrWindow, incrProperty, atom(offeredType.c_str()), 8, PropModeReplace,
                            reinterpret_cast<const unsigned char*>(payload.data() + incrSent),
                            static_cast<int>(length));
            incrSent += length;
            ++incrChunks;
            incrDone = length == 0;
            XFlush(display);
        }
        else if (event.type == ClientMessage && event.xclient.message_type == atom("XdndStatus"))
        {
            statusReceived = true;
            statusAccepted = event.xclient.data.l[1] & 1;
            statusTarget = static_cast<Window>(event.xclient.data.l[0]);
            statusAction = static_cast<Atom>(event.xclient.data.l[4]);
        }
        else if (event.type == ClientMessage && event.xclient.message_type == atom("XdndFinished"))
        {
            finished = true;
            finishedAccepted = event.xclient.data.l[1] & 1;
        }
    }

    void offer(const std::string& type, const std::string& data)
    {
        offeredType = type;
        payload = data;
        XSetSelectionOwner(display, atom("XdndSelection"), source, CurrentTime);
        XSync(display, False);
    }

    // A whole drag from entering to the drop at (x, y).
    void dragAndDrop(const std::vector<std::string>& types, int x, int y)
    {
        Window proxy = findProxy();
        ASSERT_EQ(proxy, frameWindow());
        enter(proxy, types);
        position(proxy, x, y);
        ASSERT_TRUE(pump([this] { return statusReceived; }));
        send(proxy, "XdndDrop", 0, CurrentTime);
        ASSERT_TRUE(pump([this] { return finished; }));
    }

    Window source = 0;
    size_t chunkSize = 0; // answer incrementally when set
    bool silent = false;  // never answer data requests
    Window incrWindow = 0;
    Atom incrProperty = None;
    size_t incrSent = 0;
    int incrChunks = 0;
    bool incrDone = false;
    std::string offeredType;
    std::string payload;
    int selectionRequests = 0;
    bool statusReceived = false, statusAccepted = false;
    Window statusTarget = 0;
    Atom statusAction = None;
    bool finished = false, finishedAccepted = false;
};

TEST_F(XdndTest, FrameIsAwareAndProxiesItsTopLevel)
{
    openFrame();
    long version = 0, proxy = 0, self = 0;
    ASSERT_TRUE(readWindowProperty(frameWindow(), "XdndAware", version));
    EXPECT_EQ(version, 5);
    ASSERT_TRUE(readWindowProperty(parent, "XdndProxy", proxy));
    EXPECT_EQ(static_cast<Window>(proxy), frameWindow());
    ASSERT_TRUE(readWindowProperty(frameWindow(), "XdndProxy", self));
    EXPECT_EQ(static_cast<Window>(self), frameWindow());

    frame.reset();
    EXPECT_FALSE(readWindowProperty(parent, "XdndProxy", proxy));
}

TEST_F(XdndTest, ProxyOfAnotherFrameIsRestoredWhenTheLaterOneCloses)
{
    openFrame();
    Window first = frameWindow();
    RecordingCallbacks other;
    std::unique_ptr<IPlatformFrame> second(createX11Frame(&other, CRect(0, 0, 50, 50), parent));
    ASSERT_NE(second, nullptr);
    long proxy = 0;
    ASSERT_TRUE(readWindowProperty(parent, "XdndProxy", proxy));
    EXPECT_EQ(static_cast<Window>(proxy), reinterpret_cast<Window>(second->getPlatformHandle()));
    second.reset();
    ASSERT_TRUE(readWindowProperty(parent, "XdndProxy", proxy));
    EXPECT_EQ(static_cast<Window>(proxy), first);
}

TEST_F(XdndTest, FileDropDeliversDecodedLocalPaths)
{
    openFrame();
    offer("text/uri-list", "# dragged from a file manager\r\n"
                           "file:///tmp/vlt2%20drop/Kick%20%231%20%C3%BC.wav\r\n"
                           "\r\n"
                           "http://example.com/remote.wav\r\n"
                           "file://localhost/tmp/snare.wav\r\n");
    dragAndDrop({"text/uri-list", "text/plain"}, 30, 40);
    EXPECT_TRUE(statusAccepted);
    EXPECT_EQ(statusTarget, parent);
    EXPECT_EQ(statusAction, atom("XdndActionCopy"));
    EXPECT_TRUE(finishedAccepted);
    EXPECT_EQ(callbacks.dragEnters, 1);
    ASSERT_EQ(callbacks.drops.size(), 1u);
    const auto& items = callbacks.drops[0];
    ASSERT_EQ(items.size(), 2u);
    EXPECT_EQ(items[0].type, IDataPackage::kFilePath);
    EXPECT_EQ(items[0].data, "/tmp/vlt2 drop/Kick #1 \xC3\xBC.wav");
    EXPECT_EQ(items[1].type, IDataPackage::kFilePath);
    EXPECT_EQ(items[1].data, "/tmp/snare.wav");
    EXPECT_EQ(callbacks.dropWhere, CPoint(30, 40));
    EXPECT_EQ(selectionRequests, 1);
}

TEST_F(XdndTest, MoreThanThreeTypesAreReadFromTheTypeList)
{
    openFrame();
    offer("text/uri-list", "file:///home/user/a.aif\r\n");
    dragAndDrop({"application/x-one", "application/x-two", "application/x-three", "text/uri-list"}, 5, 6);
    ASSERT_EQ(callbacks.drops.size(), 1u);
    ASSERT_EQ(callbacks.drops[0].size(), 1u);
    EXPECT_EQ(callbacks.drops[0][0].data, "/home/user/a.aif");
}

TEST_F(XdndTest, LargeDataArrivesInPieces)
{
    openFrame();
    std::string list;
    std::vector<std::string> expected;
    for (int i = 0; i < 20; ++i)
    {
        expected.push_back("/samples/loop " + std::to_string(i) + ".wav");
        list += "file:///samples/loop%20" + std::to_string(i) + ".wav\r\n";
    }
    chunkSize = 64;
    offer("text/uri-list", list);
    dragAndDrop({"text/uri-list"}, 10, 10);
    EXPECT_TRUE(incrDone);
    EXPECT_GT(incrChunks, 5);
    ASSERT_EQ(callbacks.drops.size(), 1u);
    ASSERT_EQ(callbacks.drops[0].size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i)
        EXPECT_EQ(callbacks.drops[0][i].data, expected[i]);
}

TEST_F(XdndTest, SourceThatNeverAnswersIsRefusedAfterATimeout)
{
    openFrame();
    silent = true;
    offer("text/uri-list", "file:///tmp/x.wav\r\n");
    Window proxy = findProxy();
    enter(proxy, {"text/uri-list"});
    position(proxy, 10, 10);
    ASSERT_TRUE(pump([this] { return statusReceived; }, 6000));
    EXPECT_FALSE(statusAccepted);
    EXPECT_EQ(callbacks.dragEnters, 0);
    send(proxy, "XdndDrop", 0, CurrentTime);
    ASSERT_TRUE(pump([this] { return finished; }));
    EXPECT_FALSE(finishedAccepted);
    EXPECT_TRUE(callbacks.drops.empty());
}

TEST_F(XdndTest, TextDropArrivesAsText)
{
    openFrame();
    offer("UTF8_STRING", "hello w\xC3\xB6rld");
    dragAndDrop({"UTF8_STRING"}, 100, 100);
    ASSERT_EQ(callbacks.drops.size(), 1u);
    ASSERT_EQ(callbacks.drops[0].size(), 1u);
    EXPECT_EQ(callbacks.drops[0][0].type, IDataPackage::kText);
    EXPECT_EQ(callbacks.drops[0][0].data, "hello w\xC3\xB6rld");
}

TEST_F(XdndTest, PositionsAreMovesAndOutsideTheFrameIsRefused)
{
    openFrame();
    offer("text/uri-list", "file:///tmp/x.wav\r\n");
    Window proxy = findProxy();
    ASSERT_NE(proxy, 0u);
    enter(proxy, {"text/uri-list"});
    position(proxy, 10, 10);
    ASSERT_TRUE(pump([this] { return statusReceived; }));
    EXPECT_TRUE(statusAccepted);
    position(proxy, 20, 30);
    ASSERT_TRUE(pump([this] { return statusReceived; }));
    EXPECT_TRUE(statusAccepted);
    EXPECT_EQ(callbacks.dragEnters, 1);
    EXPECT_EQ(callbacks.dragMoves, 1);
    EXPECT_EQ(callbacks.dragPositions.back(), CPoint(20, 30));

    // Over the rest of the host's window, which the proxy also covers.
    position(proxy, 300, 200);
    ASSERT_TRUE(pump([this] { return statusReceived; }));
    EXPECT_FALSE(statusAccepted);
    EXPECT_EQ(callbacks.dragLeaves, 1);

    send(proxy, "XdndLeave", 0);
    settle(50);
    EXPECT_EQ(callbacks.dragLeaves, 1);
    EXPECT_TRUE(callbacks.drops.empty());
}

TEST_F(XdndTest, RefusedDragsAndUnknownTypesAreAnsweredNo)
{
    openFrame();
    callbacks.acceptDrags = false;
    offer("text/uri-list", "file:///tmp/x.wav\r\n");
    Window proxy = findProxy();
    enter(proxy, {"text/uri-list"});
    position(proxy, 10, 10);
    ASSERT_TRUE(pump([this] { return statusReceived; }));
    EXPECT_FALSE(statusAccepted);
    send(proxy, "XdndLeave", 0);
    settle(30);
    EXPECT_EQ(callbacks.dragLeaves, 1);

    enter(proxy, {"image/png"});
    position(proxy, 10, 10);
    ASSERT_TRUE(pump([this] { return statusReceived; }));
    EXPECT_FALSE(statusAccepted);
    EXPECT_EQ(callbacks.dragEnters, 1);
}

TEST_F(XdndTest, DropWithoutDataFinishesUnaccepted)
{
    openFrame();
    offer("text/uri-list", "http://example.com/only-remote.wav\r\n");
    dragAndDrop({"text/uri-list"}, 10, 10);
    EXPECT_FALSE(statusAccepted);
    EXPECT_FALSE(finishedAccepted);
    EXPECT_TRUE(callbacks.drops.empty());
}

} // namespace
} // namespace x11test
