// standin_test.cpp -- the platform stand-in under the audio layer, where the layer's own tests do
// not reach: RIFF bounds, buffer locks and controls with their error codes, the mixer's thread,
// COM and DirectMusic objects used directly, and the code page conversion.
#include <atomic>
#include <cstring>
#include <filesystem>
#include <thread>

#include "audio_fixtures.h"

class StandIn : public testing::Test {
protected:
    void SetUp() override { make_test_window(); }
    ScratchFolder folder;
};

// The loader's description of the segment in the file `name`.
static DMUS_OBJECTDESC segment_desc(const char* name)
{
    DMUS_OBJECTDESC desc{};
    desc.dwSize = sizeof desc;
    desc.guidClass = CLSID_DirectMusicSegment;
    desc.dwValidData = DMUS_OBJ_CLASS | DMUS_OBJ_FILENAME;
    MultiByteToWideChar(CP_ACP, 0, name, -1, desc.wszFileName, DMUS_MAX_FILENAME);
    return desc;
}

// ---- the RIFF reader ----

TEST_F(StandIn, DescentsStayInsideTheParentChunk)
{
    // A RIFF form claiming only its format chunk, with a data chunk after it in the file.
    Bytes form;
    put_id(form, "WAVE");
    const Bytes fmt = riff_chunk("fmt ", fmt_body(1, 8, 11025));
    form.insert(form.end(), fmt.begin(), fmt.end());
    Bytes file = riff_chunk("RIFF", form);
    const Bytes data = riff_chunk("data", {1, 2, 3, 4});
    file.insert(file.end(), data.begin(), data.end());
    write_file("a.wav", file);

    HMMIO h = mmioOpenA(const_cast<LPSTR>("a.wav"), nullptr, MMIO_READ | MMIO_ALLOCBUF);
    ASSERT_NE(h, nullptr);
    MMCKINFO riff{};
    riff.fccType = mmioFOURCC('W', 'A', 'V', 'E');
    ASSERT_EQ(mmioDescend(h, &riff, nullptr, MMIO_FINDRIFF), MMSYSERR_NOERROR);
    EXPECT_EQ(riff.dwDataOffset, 8u);
    EXPECT_EQ(riff.cksize, 28u);
    MMCKINFO chunk{};
    chunk.ckid = mmioFOURCC('d', 'a', 't', 'a');
    EXPECT_EQ(mmioDescend(h, &chunk, &riff, MMIO_FINDCHUNK), MMIOERR_CHUNKNOTFOUND) << "data lies past the form";
    EXPECT_EQ(mmioDescend(h, &chunk, nullptr, MMIO_FINDCHUNK), MMSYSERR_NOERROR) << "but inside the file";
    EXPECT_EQ(chunk.cksize, 4u);
    char bytes[8];
    EXPECT_EQ(mmioRead(h, bytes, 8), 4) << "reads stop at the end of the file";
    EXPECT_EQ(mmioRead(h, bytes, 8), 0);
    EXPECT_EQ(mmioClose(h, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(mmioClose(h, 0), MMSYSERR_INVALHANDLE);
}

TEST_F(StandIn, AscentSkipsThePadByteOfAnOddChunk)
{
    write_file("odd.wav", wave_file({riff_chunk("junk", {9, 9, 9}), riff_chunk("next", {7})}));
    HMMIO h = mmioOpenA(const_cast<LPSTR>("odd.wav"), nullptr, MMIO_READ);
    ASSERT_NE(h, nullptr);
    MMCKINFO riff{}, junk{}, next{};
    ASSERT_EQ(mmioDescend(h, &riff, nullptr, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(riff.ckid, FOURCC_RIFF);
    EXPECT_EQ(riff.fccType, mmioFOURCC('W', 'A', 'V', 'E'));
    ASSERT_EQ(mmioDescend(h, &junk, &riff, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(junk.cksize, 3u);
    ASSERT_EQ(mmioAscend(h, &junk, 0), MMSYSERR_NOERROR);
    ASSERT_EQ(mmioDescend(h, &next, &riff, 0), MMSYSERR_NOERROR);
    EXPECT_EQ(next.ckid, mmioFOURCC('n', 'e', 'x', 't'));
    char b = 0;
    EXPECT_EQ(mmioRead(h, &b, 1), 1);
    EXPECT_EQ(b, 7);
    mmioClose(h, 0);
}

TEST_F(StandIn, OpeningRefusesWritingAndMissingFiles)
{
    write_file("a.wav", Bytes{1});
    MMIOINFO info{};
    EXPECT_EQ(mmioOpenA(const_cast<LPSTR>("a.wav"), &info, MMIO_WRITE), nullptr);
    EXPECT_EQ(info.wErrorRet, static_cast<UINT>(MMIOERR_CANNOTOPEN));
    EXPECT_EQ(mmioOpenA(const_cast<LPSTR>("none.wav"), &info, MMIO_READ), nullptr);
    EXPECT_EQ(info.wErrorRet, static_cast<UINT>(MMIOERR_FILENOTFOUND));
    MMCKINFO chunk{};
    EXPECT_EQ(mmioDescend(nullptr, &chunk, nullptr, 0), MMSYSERR_INVALHANDLE);
    EXPECT_EQ(mmioRead(nullptr, nullptr, 1), -1);
}

// ---- sound buffers ----

class Buffers : public StandIn {
protected:
    void SetUp() override
    {
        StandIn::SetUp();
        ASSERT_EQ(DirectSoundCreate(nullptr, &ds, nullptr), DS_OK);
        ASSERT_EQ(ds->SetCooperativeLevel(main_window, DSSCL_NORMAL), DS_OK);
    }
    void TearDown() override
    {
        release_all();
        EXPECT_EQ(testing_sound_buffers_alive(), 0);
    }
    void release_all()
    {
        for (LPDIRECTSOUNDBUFFER b : made)
            b->Release();
        made.clear();
        if (ds)
            ds->Release();
        ds = nullptr;
    }
    LPDIRECTSOUNDBUFFER make(int channels, int bits, int rate, DWORD bytes, DWORD flags = 0)
    {
        format = WAVEFORMATEX{1, static_cast<WORD>(channels), static_cast<DWORD>(rate),
                              static_cast<DWORD>(rate * channels * bits / 8), static_cast<WORD>(channels * bits / 8),
                              static_cast<WORD>(bits), 0};
        DSBUFFERDESC desc{sizeof desc, flags, bytes, 0, &format, {}};
        LPDIRECTSOUNDBUFFER b = nullptr;
        result = ds->CreateSoundBuffer(&desc, &b, nullptr);
        if (b)
            made.push_back(b);
        return b;
    }
    LPDIRECTSOUND ds = nullptr;
    WAVEFORMATEX format{};
    HRESULT result = S_OK;
    std::vector<LPDIRECTSOUNDBUFFER> made;
};

TEST_F(Buffers, LockFromTheWriteCursorWrapsIntoTwoRegions)
{
    LPDIRECTSOUNDBUFFER b = make(1, 8, 11025, 100);
    ASSERT_NE(b, nullptr);
    ASSERT_EQ(b->SetCurrentPosition(60), DS_OK);
    void *p1 = nullptr, *p2 = nullptr;
    DWORD n1 = 0, n2 = 0;
    ASSERT_EQ(b->Lock(0, 70, &p1, &n1, &p2, &n2, DSBLOCK_FROMWRITECURSOR), DS_OK);
    EXPECT_EQ(n1, 40u);
    EXPECT_EQ(n2, 30u);
    EXPECT_EQ(static_cast<uint8_t*>(p1) - static_cast<uint8_t*>(p2), 60) << "the second region is the start";
    EXPECT_EQ(b->Unlock(p1, n1, p2, n2), DS_OK);
    EXPECT_EQ(b->Lock(0, 70, &p1, &n1, nullptr, nullptr, DSBLOCK_FROMWRITECURSOR), DSERR_INVALIDPARAM)
        << "a wrapping region needs somewhere to put its second part";
    EXPECT_EQ(b->Lock(0, 101, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->Lock(100, 1, &p1, &n1, &p2, &n2, 0), DSERR_INVALIDPARAM);
    ASSERT_EQ(b->Lock(10, 0, &p1, &n1, &p2, &n2, DSBLOCK_ENTIREBUFFER), DS_OK);
    EXPECT_EQ(n1 + n2, 100u);
    uint8_t elsewhere[4];
    EXPECT_EQ(b->Unlock(elsewhere, 4, nullptr, 0), DSERR_INVALIDPARAM);
    EXPECT_EQ(b->SetCurrentPosition(100), DSERR_INVALIDPARAM);
}

TEST_F(Buffers, ControlsNeedTheirCapsAndKeepToTheirRanges)
{
    LPDIRECTSOUNDBUFFER plain = make(1, 8, 11025, 100);
    EXPECT_EQ(plain->SetVolume(-100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetPan(100), DSERR_CONTROLUNAVAIL);
    EXPECT_EQ(plain->SetFrequency(22050), DSERR_CONTROLUNAVAIL);
    LPDIRECTSOUNDBUFFER all = make(1, 8, 11025, 100, DSBCAPS_CTRLDEFAULT);
    EXPECT_EQ(all->SetVolume(DSBVOLUME_MIN), DS_OK);
    EXPECT_EQ(all->SetVolume(1), DSERR_INVALIDPARAM);
    EXPECT_EQ(all->SetPan(DSBPAN_RIGHT + 1), DSERR_INVALIDPARAM);
    EXPECT_EQ(all->SetFrequency(DSBFREQUENCY_MIN - 1), DSERR_INVALIDPARAM);
    EXPECT_EQ(all->SetFrequency(100000), DS_OK);
    EXPECT_EQ(all->Play(1, 0, 0), DSERR_INVALIDPARAM) << "the reserved argument";
}

TEST_F(Buffers, CreationRefusesWhatNoSoundCardPlays)
{
    EXPECT_EQ(make(1, 12, 11025, 100), nullptr);
    EXPECT_EQ(result, DSERR_BADFORMAT);
    EXPECT_EQ(make(3, 8, 11025, 100), nullptr);
    EXPECT_EQ(make(1, 8, 99, 100), nullptr);
    EXPECT_EQ(make(1, 8, 11025, 3), nullptr);
    EXPECT_EQ(result, DSERR_INVALIDPARAM);
    EXPECT_EQ(make(1, 8, 11025, DSBSIZE_MAX + 1), nullptr);
    EXPECT_EQ(make(1, 8, 11025, 100, DSBCAPS_PRIMARYBUFFER), nullptr);
    LPDIRECTSOUNDBUFFER b = nullptr;
    DSBUFFERDESC desc{sizeof desc, 0, 100, 0, &format, {}};
    EXPECT_EQ(ds->CreateSoundBuffer(&desc, &b, ds), DSERR_NOAGGREGATION);
    desc.dwSize = 12;
    EXPECT_EQ(ds->CreateSoundBuffer(&desc, &b, nullptr), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds->SetCooperativeLevel(nullptr, DSSCL_NORMAL), DSERR_INVALIDPARAM);
    EXPECT_EQ(ds->DuplicateSoundBuffer(nullptr, &b), DSERR_INVALIDPARAM);
}

// Long enough for the channels to be taken apart several frames at a time.
TEST_F(Buffers, SixteenBitStereoKeepsItsChannels)
{
    constexpr int FRAMES = 13;
    LPDIRECTSOUNDBUFFER b = make(2, 16, 44100, FRAMES * 4);
    void *p1, *p2;
    DWORD n1, n2;
    ASSERT_EQ(b->Lock(0, FRAMES * 4, &p1, &n1, &p2, &n2, 0), DS_OK);
    std::vector<int16_t> samples;
    for (int f = 0; f < FRAMES; ++f)
        samples.insert(samples.end(), {static_cast<int16_t>(1000 * (f + 1)), static_cast<int16_t>(-700 * (f + 1))});
    std::memcpy(p1, pcm16(samples).data(), FRAMES * 4);
    b->Unlock(p1, n1, p2, n2);
    b->Play(0, 0, 0);
    const Rendered out = render(FRAMES + 1);
    for (int f = 0; f < FRAMES; ++f) {
        EXPECT_EQ(out.left(f), 1000 * (f + 1)) << f;
        EXPECT_EQ(out.right(f), -700 * (f + 1)) << f;
    }
    EXPECT_EQ(out.left(FRAMES), 0);
}

TEST_F(Buffers, DuplicateHearsWritesToTheSharedSamples)
{
    LPDIRECTSOUNDBUFFER b = make(1, 8, 44100, 8, DSBCAPS_CTRLVOLUME);
    b->SetVolume(-600);
    LPDIRECTSOUNDBUFFER copy = nullptr;
    ASSERT_EQ(ds->DuplicateSoundBuffer(b, &copy), DS_OK);
    made.push_back(copy);
    void *p1, *p2;
    DWORD n1, n2;
    ASSERT_EQ(b->Lock(0, 8, &p1, &n1, &p2, &n2, 0), DS_OK);
    std::memset(p1, 0x80 + 64, 8);
    b->Unlock(p1, n1, p2, n2);
    copy->Play(0, 0, 0);
    EXPECT_NEAR(render(1).left(0), 16384 * std::pow(10.0, -0.3), 2.0) << "the original's volume, copied";
    DWORD status = 0;
    b->GetStatus(&status);
    EXPECT_EQ(status, 0u) << "the original stays stopped";
}

TEST_F(Buffers, OneShotsEndWhateverTheRenderBlock)
{
    LPDIRECTSOUNDBUFFER b = make(1, 8, 7000, 2000, DSBCAPS_CTRLFREQUENCY);
    b->Play(0, 0, 0);
    DWORD status = 1;
    int frames = 0;
    while (status && frames < 100000) {
        render(333);
        frames += 333;
        b->GetStatus(&status);
    }
    EXPECT_EQ(status, 0u);
    EXPECT_NEAR(frames, 2000 * 44100 / 7000, 333);
}

// The device's thread renders while the program plays, stops and releases buffers.
TEST_F(Buffers, MixerRendersSafelyBesideTheProgram)
{
    std::atomic<bool> done{false};
    std::thread device([&] {
        while (!done)
            testing_audio_render(256);
    });
    for (int round = 0; round < 200; ++round) {
        LPDIRECTSOUNDBUFFER b = make(1, 8, 11025, 500, DSBCAPS_CTRLDEFAULT);
        ASSERT_NE(b, nullptr);
        b->Play(0, 0, round % 2 ? DSBPLAY_LOOPING : 0);
        b->SetFrequency(8000 + round * 100);
        b->SetPan(round * 50 - 5000);
        if (round % 3 == 0)
            b->Stop();
        if (made.size() > 20) {
            made.front()->Release();
            made.erase(made.begin());
        }
    }
    done = true;
    device.join();
}

TEST_F(Buffers, CreateFailsWithoutAnAudioDevice)
{
    release_all();
    testing_audio_unavailable(true);
    LPDIRECTSOUND none = nullptr;
    EXPECT_EQ(DirectSoundCreate(nullptr, &none, nullptr), DSERR_NODRIVER);
    EXPECT_EQ(none, nullptr);
    GUID other = DSDEVID_DefaultPlayback;
    other.Data1 ^= 1;
    testing_audio_unavailable(false);
    EXPECT_EQ(DirectSoundCreate(&other, &none, nullptr), DSERR_NODRIVER);
}

// ---- COM and DirectMusic objects ----

TEST_F(StandIn, ComCreatesOnlyItsClassesAfterStartUp)
{
    void* object = nullptr;
    EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader, &object),
              CO_E_NOTINITIALIZED);
    EXPECT_EQ(CoInitialize(nullptr), S_OK);
    EXPECT_EQ(CoInitialize(nullptr), S_FALSE);
    EXPECT_EQ(CoCreateInstance(DSDEVID_DefaultPlayback, nullptr, CLSCTX_INPROC, IID_IUnknown, &object),
              REGDB_E_CLASSNOTREG);
    EXPECT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicSegment, &object),
              E_NOINTERFACE);
    EXPECT_EQ(object, nullptr);
    ASSERT_EQ(CoCreateInstance(CLSID_DirectMusicSegment, nullptr, CLSCTX_INPROC, IID_IUnknown, &object), S_OK);
    EXPECT_EQ(static_cast<IUnknown*>(object)->Release(), 0u);
    CoUninitialize();
    CoUninitialize();
}

TEST_F(StandIn, LoaderFindsFilesBySearchDirectoryOrFullPath)
{
    CoInitialize(nullptr);
    IDirectMusicLoader* loader = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader,
                               reinterpret_cast<void**>(&loader)),
              S_OK);
    std::filesystem::create_directory("songs");
    write_file("songs/a.mid", one_note_midi());
    WCHAR dir[DMUS_MAX_FILENAME];
    ASSERT_GT(MultiByteToWideChar(CP_ACP, 0, folder.file("songs").c_str(), -1, dir, DMUS_MAX_FILENAME), 0);
    EXPECT_EQ(loader->SetSearchDirectory(GUID_DirectMusicAllTypes, dir, FALSE), S_OK);
    EXPECT_EQ(loader->SetSearchDirectory(GUID_DirectMusicAllTypes, dir, FALSE), S_FALSE) << "unchanged";
    WCHAR nowhere[] = L"/no/such/folder";
    EXPECT_EQ(loader->SetSearchDirectory(GUID_DirectMusicAllTypes, nowhere, FALSE), DMUS_E_LOADER_BADPATH);

    DMUS_OBJECTDESC desc = segment_desc("a.mid");
    IDirectMusicSegment* segment = nullptr;
    ASSERT_EQ(loader->GetObject(&desc, IID_IDirectMusicSegment, reinterpret_cast<void**>(&segment)), S_OK);
    segment->Release();
    MultiByteToWideChar(CP_ACP, 0, folder.file("songs/a.mid").c_str(), -1, desc.wszFileName, DMUS_MAX_FILENAME);
    desc.dwValidData |= DMUS_OBJ_FULLPATH;
    ASSERT_EQ(loader->GetObject(&desc, IID_IDirectMusicSegment, reinterpret_cast<void**>(&segment)), S_OK);
    segment->Release();
    desc.guidClass = CLSID_DirectMusicLoader;
    EXPECT_EQ(loader->GetObject(&desc, IID_IDirectMusicSegment, reinterpret_cast<void**>(&segment)),
              DMUS_E_LOADER_FORMATNOTSUPPORTED);
    desc.guidClass = CLSID_DirectMusicSegment;
    for (WCHAR& c : desc.wszFileName)
        c = L'x';  // no terminating NUL anywhere
    EXPECT_EQ(loader->GetObject(&desc, IID_IDirectMusicSegment, reinterpret_cast<void**>(&segment)), E_INVALIDARG);
    loader->Release();
    CoUninitialize();
}

TEST_F(StandIn, PerformanceWithoutItsPortTakesNoDownloadAndPlaysNothing)
{
    CoInitialize(nullptr);
    IDirectMusicPerformance* performance = nullptr;
    IDirectMusicSegment* segment = nullptr;
    ASSERT_EQ(CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance,
                               reinterpret_cast<void**>(&performance)),
              S_OK);
    ASSERT_EQ(CoCreateInstance(CLSID_DirectMusicSegment, nullptr, CLSCTX_INPROC, IID_IDirectMusicSegment,
                               reinterpret_cast<void**>(&segment)),
              S_OK);
    EXPECT_EQ(performance->AddPort(nullptr), DMUS_E_NOT_INIT) << "before Init";
    ASSERT_EQ(performance->Init(nullptr, nullptr, main_window), S_OK);
    EXPECT_EQ(performance->Init(nullptr, nullptr, main_window), DMUS_E_ALREADY_INITED);
    EXPECT_EQ(segment->SetParam(GUID_Download, 0xFFFFFFFF, 0, 0, performance), DMUS_E_NOT_INIT);
    EXPECT_EQ(segment->SetParam(GUID_Unload, 0xFFFFFFFF, 0, 0, performance), S_OK);
    EXPECT_EQ(segment->SetParam(GUID_DirectMusicAllTypes, 0xFFFFFFFF, 0, 0, nullptr), DMUS_E_SET_UNSUPPORTED);
    EXPECT_EQ(performance->PlaySegment(segment, 0, 0, nullptr), DMUS_E_NOT_INIT);
    EXPECT_EQ(performance->IsPlaying(nullptr, nullptr), E_POINTER);
    EXPECT_EQ(performance->CloseDown(), S_OK);
    EXPECT_EQ(performance->AddPort(nullptr), DMUS_E_NOT_INIT) << "after CloseDown";
    segment->Release();
    performance->Release();
    CoUninitialize();
}

TEST_F(StandIn, SegmentStateNamesOnePlaying)
{
    CoInitialize(nullptr);
    IDirectMusicPerformance* performance = nullptr;
    CoCreateInstance(CLSID_DirectMusicPerformance, nullptr, CLSCTX_INPROC, IID_IDirectMusicPerformance,
                     reinterpret_cast<void**>(&performance));
    ASSERT_NE(performance, nullptr);
    ASSERT_EQ(performance->Init(nullptr, nullptr, main_window), S_OK);
    ASSERT_EQ(performance->AddPort(nullptr), S_OK);
    write_file("a.mid", one_note_midi(8));
    IDirectMusicLoader* loader = nullptr;
    CoCreateInstance(CLSID_DirectMusicLoader, nullptr, CLSCTX_INPROC, IID_IDirectMusicLoader,
                     reinterpret_cast<void**>(&loader));
    DMUS_OBJECTDESC desc = segment_desc("a.mid");
    IDirectMusicSegment* segment = nullptr;
    ASSERT_EQ(loader->GetObject(&desc, IID_IDirectMusicSegment, reinterpret_cast<void**>(&segment)), S_OK);

    IDirectMusicSegmentState *first = nullptr, *second = nullptr;
    ASSERT_EQ(performance->PlaySegment(segment, 0, 0, &first), S_OK);
    ASSERT_EQ(performance->PlaySegment(segment, 0, 0, &second), S_OK);
    EXPECT_EQ(performance->IsPlaying(nullptr, first), S_FALSE) << "replaced by the second playing";
    EXPECT_EQ(performance->IsPlaying(nullptr, second), S_OK);
    EXPECT_EQ(performance->Stop(nullptr, first, 0, 0), S_OK);
    EXPECT_EQ(performance->IsPlaying(segment, nullptr), S_OK) << "stopping the old playing stops nothing";
    EXPECT_EQ(performance->Stop(nullptr, second, 0, 0), S_OK);
    EXPECT_EQ(performance->IsPlaying(segment, nullptr), S_FALSE);
    first->Release();
    second->Release();
    segment->Release();
    loader->Release();
    performance->CloseDown();
    performance->Release();
    CoUninitialize();
    EXPECT_EQ(testing_music_segments_alive(), 0);
}

// ---- text conversion ----

TEST_F(StandIn, MultiByteToWideCharDecodesUtf8)
{
    WCHAR out[8];
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "ab", -1, nullptr, 0), 3) << "the size, NUL included";
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_PRECOMPOSED, "ab", -1, out, 8), 3);
    EXPECT_EQ(out[0], L'a');
    EXPECT_EQ(out[2], 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC3\xA9\xE2\x82\xAC", 5, out, 8), 2);
    EXPECT_EQ(out[0], static_cast<WCHAR>(0xE9));
    EXPECT_EQ(out[1], static_cast<WCHAR>(0x20AC));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "\xC0\x80", 2, out, 8), 2) << "an overlong form: two replacements";
    EXPECT_EQ(out[0], static_cast<WCHAR>(0xFFFD));
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, MB_ERR_INVALID_CHARS, "\xE2\x82", 2, out, 8), 0);
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, "abcdef", -1, out, 3), 0) << "too small a buffer";
    EXPECT_EQ(MultiByteToWideChar(437, 0, "a", -1, out, 8), 0) << "a code page the stand-in lacks";
    EXPECT_EQ(MultiByteToWideChar(CP_ACP, 0, nullptr, -1, out, 8), 0);
}
