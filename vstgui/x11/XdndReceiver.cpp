#include "vstgui/x11/XdndReceiver.h"

#include <X11/Xatom.h>

#include "vstgui/IDataPackage.h"
#include "vstgui/x11/UriList.h"

namespace VSTGUI {

namespace {

constexpr long kXdndVersion = 5;
constexpr auto kDataTimeout = std::chrono::seconds(3);

// Reads a whole property in chunks; false when it is missing or unreadable.
bool readProperty(Display* display, Window window, Atom property, Atom& type, int& format, std::string& data)
{
    data.clear();
    type = None;
    format = 0;
    long offset = 0;
    for (;;)
    {
        Atom actualType = None;
        int actualFormat = 0;
        unsigned long count = 0, bytesAfter = 0;
        unsigned char* bytes = nullptr;
        if (XGetWindowProperty(display, window, property, offset, 65536, False, AnyPropertyType, &actualType,
                               &actualFormat, &count, &bytesAfter, &bytes) != Success)
            return false;
        if (actualType == None)
        {
            if (bytes)
                XFree(bytes);
            return offset > 0;
        }
        type = actualType;
        format = actualFormat;
        // Xlib hands 32-bit items back as longs.
        size_t itemSize = actualFormat == 8 ? 1 : actualFormat == 16 ? sizeof(short) : sizeof(long);
        if (bytes && count)
            data.append(reinterpret_cast<const char*>(bytes), count * itemSize);
        if (bytes)
            XFree(bytes);
        if (bytesAfter == 0 || count == 0)
            return true;
        offset += static_cast<long>(count * (actualFormat / 8) / 4);
    }
}

} // namespace

XdndReceiver::XdndReceiver(Display* display_, Window window_, Window root_, IPlatformFrameCallbacks* callbacks_)
    : display(display_), window(window_), root(root_), callbacks(callbacks_)
{
    const char* names[] = {"XdndAware",        "XdndProxy",  "XdndEnter",   "XdndPosition", "XdndStatus",
                           "XdndLeave",        "XdndDrop",   "XdndFinished", "XdndSelection", "XdndTypeList",
                           "XdndActionCopy",   "text/uri-list", "UTF8_STRING", "text/plain",
                           "text/plain;charset=utf-8", "INCR", "VLT2_XDND_DATA"};
    Atom atoms[17] = {};
    XInternAtoms(display, const_cast<char**>(names), 17, False, atoms);
    aAware = atoms[0];
    aProxy = atoms[1];
    aEnter = atoms[2];
    aPosition = atoms[3];
    aStatus = atoms[4];
    aLeave = atoms[5];
    aDrop = atoms[6];
    aFinished = atoms[7];
    aSelection = atoms[8];
    aTypeList = atoms[9];
    aActionCopy = atoms[10];
    aUriList = atoms[11];
    aUtf8String = atoms[12];
    aTextPlain = atoms[13];
    aTextPlainUtf8 = atoms[14];
    aIncr = atoms[15];
    aTransfer = atoms[16];
}

XdndReceiver::~XdndReceiver()
{
    if (package)
        package->forget();
}

void XdndReceiver::setWindowSize(int w, int h)
{
    width = w;
    height = h;
}

bool XdndReceiver::isLiveProxy(Window candidate)
{
    Atom type;
    int format;
    std::string data;
    if (!readProperty(display, candidate, aProxy, type, format, data) || type != XA_WINDOW || format != 32 ||
        data.size() < sizeof(long))
        return false;
    return static_cast<Window>(*reinterpret_cast<const long*>(data.data())) == candidate;
}

void XdndReceiver::install(Window parent)
{
    long version = kXdndVersion;
    XChangeProperty(display, window, aAware, XA_ATOM, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&version),
                    1);
    long self = static_cast<long>(window);
    XChangeProperty(display, window, aProxy, XA_WINDOW, 32, PropModeReplace, reinterpret_cast<unsigned char*>(&self),
                    1);

    Window current = parent;
    for (int depth = 0; current && current != root && depth < 64; ++depth)
    {
        Window rootReturn = 0, parentReturn = 0;
        Window* children = nullptr;
        unsigned int count = 0;
        if (!XQueryTree(display, current, &rootReturn, &parentReturn, &children, &count))
            break;
        if (children)
            XFree(children);

        Window previous = 0;
        Atom type;
        int format;
        std::string data;
        if (readProperty(display, current, aProxy, type, format, data) && type == XA_WINDOW && format == 32 &&
            data.size() >= sizeof(long))
            previous = static_cast<Window>(*reinterpret_cast<const long*>(data.data()));
        XChangeProperty(display, current, aProxy, XA_WINDOW, 32, PropModeReplace,
                        reinterpret_cast<unsigned char*>(&self), 1);
        proxies.push_back(ProxyRecord{current, previous});
        if (parentReturn == rootReturn)
            break;
        current = parentReturn;
    }
}

void XdndReceiver::uninstall()
{
    reset(false); // the frame is closing: no more callbacks

    for (auto it = proxies.rbegin(); it != proxies.rend(); ++it)
    {
        Atom type;
        int format;
        std::string data;
        if (!readProperty(display, it->window, aProxy, type, format, data) || type != XA_WINDOW || format != 32 ||
            data.size() < sizeof(long))
            continue;
        if (static_cast<Window>(*reinterpret_cast<const long*>(data.data())) != window)
            continue; // someone else's by now
        if (it->previous && it->previous != window && isLiveProxy(it->previous))
        {
            long previous = static_cast<long>(it->previous);
            XChangeProperty(display, it->window, aProxy, XA_WINDOW, 32, PropModeReplace,
                            reinterpret_cast<unsigned char*>(&previous), 1);
        }
        else
        {
            XDeleteProperty(display, it->window, aProxy);
        }
    }
    proxies.clear();
    XDeleteProperty(display, window, aProxy);
    XDeleteProperty(display, window, aAware);
    XFlush(display);
}

bool XdndReceiver::handleEvent(const XEvent& event)
{
    if (event.type == ClientMessage)
    {
        const XClientMessageEvent& message = event.xclient;
        if (message.format != 32)
            return false;
        if (message.message_type == aEnter)
            onEnter(message);
        else if (message.message_type == aPosition)
            onPosition(message);
        else if (message.message_type == aLeave)
            onLeave(message);
        else if (message.message_type == aDrop)
            onDrop(message);
        else
            return false;
        return true;
    }
    if (event.type == SelectionNotify && event.xselection.requestor == window &&
        event.xselection.selection == aSelection)
    {
        onSelectionNotify(event.xselection);
        return true;
    }
    if (event.type == PropertyNotify && event.xproperty.window == window && event.xproperty.atom == aTransfer)
    {
        onPropertyNotify(event.xproperty);
        return true;
    }
    return false;
}

void XdndReceiver::reset(bool notifyLeave)
{
    if (notifyLeave && entered && callbacks && package)
        callbacks->platformOnDragLeave(package, where);
    if (package)
        package->forget();
    package = nullptr;
    source = 0;
    target = 0;
    dataType = None;
    dataRequested = dataReady = incremental = false;
    incoming.clear();
    positionPending = dropPending = entered = accepted = false;
    where = CPoint();
}

Atom XdndReceiver::chooseType(const std::vector<Atom>& types) const
{
    const Atom preferred[] = {aUriList, aUtf8String, aTextPlainUtf8, aTextPlain};
    for (Atom wanted : preferred)
        for (Atom offered : types)
            if (offered == wanted)
                return wanted;
    return None;
}

void XdndReceiver::onEnter(const XClientMessageEvent& message)
{
    reset(true);
    source = static_cast<Window>(message.data.l[0]);
    target = message.window;
    std::vector<Atom> types;
    if (message.data.l[1] & 1)
    {
        Atom type;
        int format;
        std::string data;
        if (readProperty(display, source, aTypeList, type, format, data) && format == 32)
        {
            const long* items = reinterpret_cast<const long*>(data.data());
            for (size_t i = 0; i < data.size() / sizeof(long); ++i)
                types.push_back(static_cast<Atom>(items[i]));
        }
    }
    for (int i = 2; i <= 4; ++i)
        if (message.data.l[i])
            types.push_back(static_cast<Atom>(message.data.l[i]));
    dataType = chooseType(types);
}

void XdndReceiver::onPosition(const XClientMessageEvent& message)
{
    if (!source || static_cast<Window>(message.data.l[0]) != source)
        return;
    target = message.window;
    int rootX = static_cast<int>((message.data.l[2] >> 16) & 0xffff);
    int rootY = static_cast<int>(message.data.l[2] & 0xffff);
    int x = 0, y = 0;
    Window child = 0;
    if (!XTranslateCoordinates(display, root, window, rootX, rootY, &x, &y, &child))
    {
        sendStatus(false);
        return;
    }
    where = CPoint(x, y);
    if (dataType == None)
    {
        sendStatus(false);
        return;
    }
    if (!dataReady)
    {
        // Views decide on the data itself, so fetch it before the first answer.
        positionPending = true;
        if (!dataRequested)
            requestData(static_cast<Time>(message.data.l[3]));
        return;
    }
    evaluatePosition();
}

void XdndReceiver::onLeave(const XClientMessageEvent& message)
{
    if (!source || static_cast<Window>(message.data.l[0]) != source)
        return;
    reset(true);
}

void XdndReceiver::onDrop(const XClientMessageEvent& message)
{
    if (!source || static_cast<Window>(message.data.l[0]) != source)
        return;
    target = message.window;
    positionPending = false;
    if (!dataReady && dataType != None)
    {
        dropPending = true;
        if (!dataRequested)
            requestData(static_cast<Time>(message.data.l[2]));
        return;
    }
    finishDrop();
}

void XdndReceiver::requestData(Time time)
{
    dataRequested = true;
    incremental = false;
    incoming.clear();
    requestTime = std::chrono::steady_clock::now();
    XDeleteProperty(display, window, aTransfer);
    XConvertSelection(display, aSelection, dataType, aTransfer, window, time ? time : CurrentTime);
    XFlush(display);
}

void XdndReceiver::onSelectionNotify(const XSelectionEvent& event)
{
    if (!dataRequested || dataReady || incremental)
        return;
    if (event.property == None)
    {
        dataArrived({}, false);
        return;
    }
    Atom type;
    int format;
    std::string data;
    if (!readProperty(display, window, event.property, type, format, data))
    {
        dataArrived({}, false);
        return;
    }
    if (type == aIncr)
    {
        // Large data comes in pieces, each announced by a new property value.
        incremental = true;
        XDeleteProperty(display, window, event.property);
        XFlush(display);
        return;
    }
    XDeleteProperty(display, window, event.property);
    dataArrived(data, format == 8);
}

void XdndReceiver::onPropertyNotify(const XPropertyEvent& event)
{
    if (!incremental || event.state != PropertyNewValue)
        return;
    Atom type;
    int format;
    std::string chunk;
    bool ok = readProperty(display, window, event.atom, type, format, chunk);
    XDeleteProperty(display, window, event.atom);
    XFlush(display);
    if (!ok)
    {
        dataArrived({}, false);
        return;
    }
    if (chunk.empty())
    {
        std::string whole;
        whole.swap(incoming);
        dataArrived(whole, true);
        return;
    }
    incoming += chunk;
    requestTime = std::chrono::steady_clock::now();
}

void XdndReceiver::dataArrived(const std::string& data, bool ok)
{
    dataReady = true;
    incremental = false;
    incoming.clear();
    package = new CDropSource();
    if (ok)
    {
        if (dataType == aUriList)
        {
            for (const std::string& path : localPathsFromUriList(data, currentHostName()))
                package->add(path.c_str(), static_cast<uint32_t>(path.size() + 1), IDataPackage::kFilePath);
        }
        else
        {
            std::string text = data.substr(0, data.find('\0'));
            package->add(text.c_str(), static_cast<uint32_t>(text.size() + 1), IDataPackage::kText);
        }
    }
    if (dropPending)
        finishDrop();
    else if (positionPending)
        evaluatePosition();
}

void XdndReceiver::checkTimeout()
{
    if (dataRequested && !dataReady && std::chrono::steady_clock::now() - requestTime > kDataTimeout)
        dataArrived({}, false);
}

void XdndReceiver::evaluatePosition()
{
    positionPending = false;
    const bool inside = where.x >= 0 && where.y >= 0 && where.x < width && where.y < height;
    const bool hasData = package && package->getCount() > 0;
    if (inside && hasData && callbacks)
    {
        // A handler may run a nested event pass that ends the drag.
        IDataPackage* held = package;
        held->remember();
        if (!entered)
        {
            entered = true;
            accepted = callbacks->platformOnDragEnter(package, where);
        }
        else
        {
            accepted = callbacks->platformOnDragMove(package, where);
        }
        held->forget();
    }
    else
    {
        // The proxy makes us the target for the whole host window.
        if (entered && callbacks)
            callbacks->platformOnDragLeave(package, where);
        entered = accepted = false;
    }
    sendStatus(accepted);
}

void XdndReceiver::finishDrop()
{
    dropPending = false;
    bool done = false;
    const bool inside = where.x >= 0 && where.y >= 0 && where.x < width && where.y < height;
    if (inside && package && package->getCount() > 0 && callbacks)
    {
        IDataPackage* held = package;
        held->remember();
        if (!entered)
            callbacks->platformOnDragEnter(held, where);
        entered = false;
        done = callbacks->platformOnDrop(held, where);
        held->forget();
    }
    else if (entered && callbacks && package)
    {
        callbacks->platformOnDragLeave(package, where);
        entered = false;
    }
    sendFinished(done);
    reset(false);
}

void XdndReceiver::sendStatus(bool accept)
{
    // Bit 1: keep sending positions, our views differ in what they take.
    sendToSource(aStatus, (accept ? 1 : 0) | 2, 0, 0, accept ? static_cast<long>(aActionCopy) : None);
}

void XdndReceiver::sendFinished(bool done)
{
    sendToSource(aFinished, done ? 1 : 0, done ? static_cast<long>(aActionCopy) : None, 0, 0);
}

// A client message to the drag source; the first word names our window.
void XdndReceiver::sendToSource(Atom type, long l1, long l2, long l3, long l4)
{
    if (!source)
        return;
    XEvent event = {};
    event.xclient.type = ClientMessage;
    event.xclient.display = display;
    event.xclient.window = source;
    event.xclient.message_type = type;
    event.xclient.format = 32;
    event.xclient.data.l[0] = static_cast<long>(target ? target : window);
    event.xclient.data.l[1] = l1;
    event.xclient.data.l[2] = l2;
    event.xclient.data.l[3] = l3;
    event.xclient.data.l[4] = l4;
    XSendEvent(display, source, False, NoEventMask, &event);
    XFlush(display);
}

} // namespace VSTGUI
