// What Windows does with messages, as the non-Windows backends imitate it: the queue's order
// and TranslateMessage's WM_CHAR, the key messages and their lParam bits, and the default
// window procedure's Alt+F4, WM_CLOSE and WM_DESTROY.

#include <gtest/gtest.h>

#include <vector>

#include "platform/imitation/imitated_window.h"
#include "platform/imitation/key_messages.h"
#include "platform/imitation/message_queue.h"
#include "platform/imitation/window_classes.h"

namespace {

using platform::KeyMessageFor;
using platform::KeyMessageParam;
using platform::Message;
using platform::MessageQueue;
namespace wm = platform::wm;

platform::Window* const kWindow = reinterpret_cast<platform::Window*>(0x10);
platform::Window* const kOther = reinterpret_cast<platform::Window*>(0x20);

std::vector<uint32_t> Drain(MessageQueue& queue, bool translate) {
    std::vector<uint32_t> taken;
    Message m;
    while (queue.Take(m)) {
        taken.push_back(m.message == wm::CHAR ? 0x10000 | static_cast<uint32_t>(m.wParam)
                                              : m.message);
        if (translate) {
            queue.Translate(m);
        }
    }
    return taken;
}

TEST(MessageQueue, MessagesComeInOrderAndEachKeyDownTypesItsCharacterAheadOfTheRest) {
    MessageQueue queue;
    queue.Post({kWindow, wm::KEYDOWN, 'S', 0x001F0001}, 's');
    queue.Post({kWindow, wm::KEYUP, 'S', static_cast<intptr_t>(0xC01F0001u)});
    queue.Post({kWindow, wm::KEYDOWN, 0x71, 0x003C0001});  // F2 types nothing
    queue.Post({kWindow, wm::SYSKEYDOWN, 'Q', 0x20100001});
    queue.Post({kWindow, wm::CLOSE, 0, 0});
    EXPECT_EQ(Drain(queue, true), (std::vector<uint32_t>{wm::KEYDOWN, 0x10000 | 's', wm::KEYUP,
                                                         wm::KEYDOWN, wm::SYSKEYDOWN, wm::CLOSE}));

    // Untranslated, a key-down types nothing; translated twice, or another message than the
    // one just taken, it types once.
    queue.Post({kWindow, wm::KEYDOWN, 'S', 0x001F0001}, 's');
    EXPECT_EQ(Drain(queue, false), std::vector<uint32_t>{wm::KEYDOWN});
    queue.Post({kWindow, wm::KEYDOWN, 'D', 0x00200001}, 'd');
    Message m;
    ASSERT_TRUE(queue.Take(m));
    queue.Translate({kWindow, wm::KEYDOWN, 'S', 0x001F0001});
    queue.Translate(m);
    queue.Translate(m);
    EXPECT_EQ(Drain(queue, false), std::vector<uint32_t>{0x10000 | 'd'});
}

TEST(MessageQueue, TextAfterItsKeyDownBecomesItsCharacterAndAGoneWindowGetsNoMore) {
    MessageQueue queue(3);
    queue.Post({kWindow, wm::KEYDOWN, '1', 0x00020001}, '1');
    queue.SetLastKeyCharacter('!');  // Shift+1 on this layout
    queue.Post({kOther, wm::KEYDOWN, 'C', 0x002E0001}, 'c');
    queue.Post({kWindow, wm::KEYUP, '1', static_cast<intptr_t>(0xC0020001u)});
    queue.SetLastKeyCharacter('x');          // only a key-down takes text
    queue.Post({kWindow, wm::CLOSE, 0, 0});  // a full queue drops what comes
    queue.ForgetMessagesFor(kOther);
    EXPECT_EQ(Drain(queue, true), (std::vector<uint32_t>{wm::KEYDOWN, 0x10000 | '!', wm::KEYUP}));
}

TEST(KeyMessages, AltMakesSystemKeysAndTheParamCarriesWhatWindowsDocuments) {
    EXPECT_EQ(KeyMessageFor('S', false, false), wm::KEYDOWN);
    EXPECT_EQ(KeyMessageFor('S', false, true), wm::KEYUP);
    EXPECT_EQ(KeyMessageFor('S', true, false), wm::SYSKEYDOWN);
    EXPECT_EQ(KeyMessageFor('S', true, true), wm::SYSKEYUP);
    EXPECT_EQ(KeyMessageFor(0x12, false, false), wm::SYSKEYDOWN) << "Alt itself";
    EXPECT_EQ(KeyMessageFor(0x79, false, false), wm::SYSKEYDOWN) << "F10 opens the menu";
    EXPECT_EQ(KeyMessageFor(0x79, false, true), wm::SYSKEYUP);

    // Bits 0-15 repeat count, 16-23 scan code, 24 extended, 29 Alt held, 30 down before,
    // 31 going up.
    struct Case {
        uint8_t key;
        bool alt, repeat, up;
        uint32_t param;
    };
    for (const Case& c : std::vector<Case>{{0x1F, false, false, false, 0x001F0001},
                                           {0x1F, false, true, false, 0x401F0001},
                                           {0x1F, false, false, true, 0xC01F0001},
                                           {0x1F, true, false, false, 0x201F0001},
                                           {0x3E, true, false, true, 0xE03E0001},    // Alt+F4 up
                                           {0xC8, false, false, false, 0x01480001},  // up arrow
                                           {0x9C, false, true, false, 0x411C0001},
                                           {0x00, false, false, false, 0x00000001}}) {
        SCOPED_TRACE(c.key);
        EXPECT_EQ(static_cast<uint32_t>(KeyMessageParam(c.key, c.alt, c.repeat, c.up)), c.param);
    }
}

class TestWindow final : public platform::ImitatedWindow {
  public:
    TestWindow(std::vector<uint32_t>& seen, bool handleClose)
        : ImitatedWindow([&seen, handleClose](platform::Window& w, uint32_t message,
                                              uintptr_t wParam, intptr_t lParam) -> intptr_t {
              seen.push_back(message);
              if (message == wm::CLOSE && handleClose) {
                  return 0;  // the game may keep its window
              }
              return w.DefWindowProcA(message, wParam, lParam);
          }) {}
    int nativeDestroys = 0;

  protected:
    void DestroyNative() override { ++nativeDestroys; }
};

TEST(ImitatedWindow, AltF4ClosesAClosedWindowIsDestroyedAndWmDestroyComesOnce) {
    std::vector<uint32_t> seen;
    TestWindow window(seen, false);
    // Alt+F4 reaches the procedure as a system key; left to the default, it closes.
    platform::DeliverMessage({&window, wm::SYSKEYDOWN, 0x73, 0x203E0001});
    EXPECT_EQ(seen, (std::vector<uint32_t>{wm::SYSKEYDOWN, wm::CLOSE, wm::DESTROY}));
    EXPECT_FALSE(window.alive());
    EXPECT_EQ(window.nativeDestroys, 1);
    window.Destroy();
    window.DefWindowProcA(wm::CLOSE, 0, 0);
    EXPECT_EQ(seen.size(), 3u) << "destroyed once";
    EXPECT_EQ(window.nativeDestroys, 1);

    // F4 without Alt, other system keys and a close the procedure handles leave it open.
    seen.clear();
    TestWindow kept(seen, true);
    platform::DeliverMessage({&kept, wm::KEYDOWN, 0x73, 0x003E0001});
    platform::DeliverMessage({&kept, wm::SYSKEYDOWN, 'Q', 0x20100001});
    platform::DeliverMessage({&kept, wm::CLOSE, 0, 0});
    EXPECT_TRUE(kept.alive());
    EXPECT_EQ(platform::DeliverMessage({nullptr, wm::CLOSE, 0, 0}), 0) << "no window";
}

TEST(WindowClasses, AWindowClassIsRegisteredOnceAndGoneWhenUnregistered) {
    platform::WindowClasses classes;
    EXPECT_TRUE(classes.Register({"Game", 3}));
    EXPECT_FALSE(classes.Register({"Game", 0}));
    EXPECT_FALSE(classes.Register({nullptr, 0}));
    EXPECT_TRUE(classes.Registered("Game"));
    EXPECT_TRUE(classes.Registered("GAME")) << "Windows compares class names without case";
    EXPECT_FALSE(classes.Register({"game", 0}));
    EXPECT_TRUE(classes.Unregister("game"));
    EXPECT_FALSE(classes.Unregister("Game"));
    EXPECT_FALSE(classes.Registered("Game"));
    EXPECT_FALSE(classes.Registered(nullptr));
}

}  // namespace
