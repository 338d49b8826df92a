// The built-in sound library and resource sounds. This test program is built
// inside a bundle of its own (TestBundle.vst) whose resources directory holds
// the generated sounds, so that it finds them the way the plug-in does.
#include "TestSupport.h"

#include "engine/PitchTables.h"
#include "host/BundleServices.h"
#include "sources/BuiltinSounds.h"

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <set>

namespace fs = std::filesystem;

namespace {

double ratioOf(int root)
{
    Sample s;
    s.setRootNote(root);
    return s.getRootRatio();
}

class SoundLibrary : public ::testing::Test
{
protected:
    static void SetUpTestSuite()
    {
        makeName();
        makeName2();
        // The generated sounds, seen from this program's bundle.
        std::string resources;
        ASSERT_TRUE(getResourcesPath(resources));
        for (const auto& entry : fs::directory_iterator(VOLANTOR_RESOURCES)) {
            const fs::path link = fs::path(resources) / entry.path().filename();
            if (!fs::exists(fs::symlink_status(link)))
                fs::create_symlink(entry.path(), link);
        }
    }

    static std::string resourceFile(const std::string& name)
    {
        std::string resources;
        getResourcesPath(resources);
        return resources + "/" + name;
    }

    Instrument instrument{256, 44100};
};

} // namespace

TEST_F(SoundLibrary, IdsOutsideTheTableGiveCoin)
{
    for (int id : {66, -1, 1000}) {
        Instrument i(256, 44100);
        i.loadFromId(id, 0);
        Sample* s = i.getSample(0);
        EXPECT_EQ(i.getName(), "coin");
        EXPECT_EQ(s->getChannelCount(), 1);
        EXPECT_EQ(s->getFrames(), 20106); // the array given with length 20107
        EXPECT_EQ(s->getBuffer(0), coinData);
    }
}

TEST_F(SoundLibrary, IdTableRows)
{
    struct Case { int id; int channels; int frames; int start; int root; int sharesWith; };
    const Case cases[] = {
        {0, 2, 10731, 0, 63, -1}, {5, 1, 62033, 0, 68, -1}, {6, 1, 22499, 3000, 68, 5},
        {9, 1, 66815, 0, 61, -1}, {10, 1, 5419, 2080, 73, 9}, {39, 1, 203310, 4000, 63, -1},
        {49, 2, 93645, 0, 60, -1}, {65, 1, 30509, 0, 60, -1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        Instrument i(256, 44100);
        i.loadFromId(c.id, 0);
        Sample* s = i.getSample(0);
        EXPECT_EQ(i.getName(), internalInstrumentName[c.id]);
        EXPECT_EQ(s->getChannelCount(), c.channels);
        EXPECT_EQ(s->getFrames(), c.frames);
        EXPECT_EQ(s->getLoopEnd(), c.frames - 1);
        EXPECT_EQ(s->getStartPlay(), c.start);
        EXPECT_EQ(s->getRootRatio(), ratioOf(c.root));
        EXPECT_EQ(s->getSamplerate(), 44100);
        if (c.channels == 2) {
            EXPECT_NE(s->getBuffer(1), s->getBuffer(0));
        }
        if (c.sharesWith >= 0) {
            Instrument other(256, 44100);
            other.loadFromId(c.sharesWith, 0);
            EXPECT_EQ(s->getBuffer(0), other.getSample(0)->getBuffer(0)); // a cut, not a copy
        }
    }
}

TEST_F(SoundLibrary, NamesAreUniqueAndFindTheirSound)
{
    std::set<std::string> names;
    for (int id = 0; id < kBuiltinCount; ++id) {
        ASSERT_NE(internalInstrumentName[id], nullptr);
        EXPECT_TRUE(names.insert(internalInstrumentName[id]).second) << internalInstrumentName[id];
    }
    EXPECT_EQ(names.count("coin"), 0u);
    for (const char* quoted : {"House Stab", "Hoover", "Siren", "M1 Organ", "Yeah!", "Wooh", "Go!"})
        EXPECT_EQ(names.count(quoted), 1u) << quoted;

    const char** first = internalInstrumentName;
    makeName();
    makeName3();
    for (int id = 0; id < kBuiltinCount; ++id) {
        EXPECT_STREQ(internalInstrumentName[id], first[id]);
        EXPECT_STREQ(internalInstrumentName3[id], first[id]);
    }

    ASSERT_TRUE(instrument.loadFromName("Hoover"));
    EXPECT_EQ(instrument.getName(), "Hoover");
    EXPECT_EQ(instrument.getSourceKind(), Instrument::kBuiltin);
    Instrument untouched(256, 44100);
    EXPECT_FALSE(untouched.loadFromName("hoover")); // names are case-sensitive
    EXPECT_FALSE(untouched.loadFromName("coin"));
    EXPECT_EQ(untouched.getSampleCount(), 0);
    EXPECT_EQ(untouched.getName(), "");
}

TEST_F(SoundLibrary, ResourceListsNameEightyOneFiles)
{
    makeName2(); // a second call leaves each list as it was
    struct List { const std::string* entries; int count; const char* directory; };
    const List lists[] = {{stabs2Name, kStabs2Count, "stabs2"}, {stabs3Name, kStabs3Count, "stabs3"},
                          {instru2Name, kInstru2Count, "instrus"}, {voice2Name, kVoice2Count, "voices"}};
    std::set<std::string> paths{kId53Path, kId54Path}, files;
    for (const List& l : lists) {
        for (int i = 0; i < l.count; ++i) {
            const std::string& path = l.entries[i];
            EXPECT_EQ(path.rfind(std::string(":/Resources/sounds/") + l.directory + "/", 0), 0u) << path;
            EXPECT_EQ(path.substr(path.size() - 4), ".wav");
            paths.insert(path);
        }
    }
    for (const std::string& p : paths) {
        files.insert(p.substr(p.find_last_of('/') + 1));
        EXPECT_TRUE(fs::exists(resourceFile(p.substr(p.find_last_of('/') + 1)))) << p;
    }
    EXPECT_EQ(paths.size(), 82u);
    EXPECT_EQ(files.size(), 81u);
}

TEST_F(SoundLibrary, EveryResourceLoadsWithItsGuardValues)
{
    std::vector<std::string> paths{kId53Path, kId54Path};
    paths.insert(paths.end(), std::begin(stabs2Name), std::end(stabs2Name));
    paths.insert(paths.end(), std::begin(stabs3Name), std::end(stabs3Name));
    paths.insert(paths.end(), std::begin(instru2Name), std::end(instru2Name));
    paths.insert(paths.end(), std::begin(voice2Name), std::end(voice2Name));
    int stereo = 0;
    for (const std::string& path : paths) {
        SCOPED_TRACE(path);
        Sample s;
        ASSERT_TRUE(s.loadFromResource(path));
        ASSERT_GT(s.getFrames(), 0);
        EXPECT_EQ(s.getLoopEnd(), s.getFrames() - 1);
        EXPECT_EQ(s.getSamplerate(), 44100);
        for (int c = 0; c < s.getChannelCount(); ++c)
            EXPECT_EQ(s.getBuffer(c)[s.getFrames()], s.getBuffer(c)[0]);
        stereo += s.getChannelCount() == 2;
    }
    EXPECT_GT(stereo, 0);
}

TEST_F(SoundLibrary, RootNoteFollowsTheWholePathWhileTheFileFollowsTheLastPart)
{
    Sample asStab, asInstru;
    ASSERT_TRUE(asStab.loadFromResource(stabs3Name[4]));
    ASSERT_TRUE(asInstru.loadFromResource(instru2Name[0]));
    EXPECT_EQ(stabs3Name[4].substr(stabs3Name[4].rfind('/')), instru2Name[0].substr(instru2Name[0].rfind('/')));
    ASSERT_EQ(asStab.getFrames(), asInstru.getFrames());
    EXPECT_EQ(std::memcmp(asStab.getBuffer(0), asInstru.getBuffer(0), sizeof(float) * asStab.getFrames()), 0);
    EXPECT_EQ(asStab.getRootRatio(), ratioOf(48)); // +12 semitones
    EXPECT_EQ(asInstru.getRootRatio(), 1.0);

    Sample minusOne;
    ASSERT_TRUE(minusOne.loadFromResource(stabs3Name[20]));
    EXPECT_EQ(minusOne.getRootRatio(), 1.0 / kSemitone);
}

TEST_F(SoundLibrary, ResourceIdsLoadFromTheBundle)
{
    Instrument organ(256, 44100), pad(256, 44100);
    organ.loadFromId(53, 0);
    pad.loadFromId(54, 0);
    EXPECT_EQ(organ.getName(), "M1 Organ");
    EXPECT_GT(organ.getSample(0)->getFrames(), 0);
    Sample* s = pad.getSample(0);
    EXPECT_GT(s->getFrames(), 12443);
    EXPECT_EQ(s->getLoopStyle(), Sample::loop);
    EXPECT_EQ(s->getLoopStart(), 12443);
}

TEST_F(SoundLibrary, ResourceFilesThatDoNotLoad)
{
    // A 24-bit file is not a layout resources come in.
    {
        std::ofstream f(resourceFile("Odd Layout.wav"), std::ios::binary);
        const char header[] = "RIFF\x30\0\0\0WAVEfmt \x10\0\0\0\x01\0\x01\0\x44\xac\0\0\x98\x09\x02\0\x03\0\x18\0data\x06\0\0\0";
        f.write(header, sizeof(header) - 1);
        f.write("\1\2\3\4\5\6", 6);
    }
    Sample s;
    testing::internal::CaptureStdout();
    EXPECT_FALSE(s.loadFromResource(":/Resources/sounds/stabs2/No Such Sound.wav"));
    EXPECT_NE(testing::internal::GetCapturedStdout().find("Volantor2 > Sample::pathToBuffer error"), std::string::npos);
    EXPECT_FALSE(s.loadFromResource(":/Resources/sounds/test/Odd Layout.wav"));
    EXPECT_FALSE(s.loadFromResource(":/Resources/sounds/test/.."));
    EXPECT_EQ(s.getFrames(), 0);
    EXPECT_EQ(s.getChannelCount(), 0);

    // An id whose file is missing still gives an instrument, with an empty sample.
    fs::rename(resourceFile("m1organ.wav"), resourceFile("m1organ.moved"));
    Instrument organ(256, 44100);
    testing::internal::CaptureStdout();
    organ.loadFromId(53, 0);
    testing::internal::GetCapturedStdout();
    fs::rename(resourceFile("m1organ.moved"), resourceFile("m1organ.wav"));
    EXPECT_EQ(organ.getSampleCount(), 1);
    EXPECT_EQ(organ.getSample(0)->getFrames(), 0);
}

TEST_F(SoundLibrary, CreatingInstrumentsFromNamesAndPaths)
{
    auto synth = test::makeSynth();
    Instrument* stab = synth->createInstrumentFromPath(stabs2Name[0]);
    ASSERT_NE(stab, nullptr);
    EXPECT_EQ(stab->getSourceKind(), Instrument::kFromPath);
    EXPECT_EQ(stab->getPath(), stabs2Name[0]);
    const std::string file = stabs2Name[0].substr(stabs2Name[0].rfind('/') + 1);
    EXPECT_EQ(stab->getName(), file.substr(0, file.size() - 4));

    // A path inside our own bundle is a resource too, found by its last part.
    std::string bundle;
    ASSERT_TRUE(getBundlePath(bundle));
    Instrument* inside = synth->createInstrumentFromPath(bundle + "/anywhere/" + file);
    ASSERT_NE(inside, nullptr);
    EXPECT_EQ(inside->getSample(0)->getFrames(), stab->getSample(0)->getFrames());

    Instrument* hoover = synth->createInstrumentFromString("Hoover");
    ASSERT_NE(hoover, nullptr);
    EXPECT_EQ(hoover->getSourceKind(), Instrument::kBuiltin);
    EXPECT_EQ(synth->createInstrumentFromString("Not A Sound"), nullptr);
    testing::internal::CaptureStdout();
    EXPECT_EQ(synth->createInstrumentFromPath(":/Resources/sounds/stabs2/Missing.wav"), nullptr);
    testing::internal::GetCapturedStdout();
    EXPECT_EQ(synth->getRack(0)->getCount(), 3);

    while (synth->getRack(0)->getCount() < 16)
        ASSERT_NE(synth->createInstrumentFromString("Hoover"), nullptr);
    EXPECT_EQ(synth->createInstrumentFromString("Hoover"), nullptr);
    EXPECT_EQ(synth->createInstrumentFromPath(stabs2Name[1]), nullptr);
    EXPECT_EQ(synth->getRack(0)->getCount(), 16);
}
