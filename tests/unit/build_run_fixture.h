// The build command's core on the engine tests' drives: a source in D:\src, the set written to
// D:\out, the request filled as the view and the wizard both fill it.
#pragma once

#include "engine_fixture.h"
#include "model/build_run.h"

class BuildRunTest : public EngineTest {
protected:
    void SetUp() override {
        EngineTest::SetUp();
        MkDir("D:\\src");
        MkDir("D:\\out");
        Put("D:\\src\\a.txt", Bytes(6000, 'a'));
        engine_ = Engine();
        rq_.notFirstPreset = true;
        rq_.items = {"D:\\src\\a.txt"};
        rq_.saveLocation = "D:\\out";
    }
    bool Run(IFileSystem& fs) {
        CBuildRun run(*engine_, fs, prompts_, image_);
        return run.Run(rq_, out_);
    }
    bool Run() { return Run(SystemFileSystem()); }

    std::unique_ptr<CSplitEngine> engine_;
    BuildRequest rq_;
    BuildOutcome out_;
};
