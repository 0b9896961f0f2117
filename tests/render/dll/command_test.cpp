#include "render/dll/driverjob.h"

#include <gtest/gtest.h>

#include <string>

using namespace corvtest;

TEST(Command, HandledPointsAnswerSuccess) {
    DriverJob job;
    DWORD result = 99;
    EXPECT_EQ(job.plugin.Command(&job.device, PSINJECT_COMMENTS, &result), S_OK);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_SUCCESS));
    ASSERT_FALSE(job.core.pieces.empty());
    EXPECT_EQ(job.core.pieces.back(), "%%Corvane PS System Driver Version:  3.0\n");

    // Handled, with nothing to write: still success.
    job.record.bRotate180 = 0;
    size_t before = job.core.pieces.size();
    result = 99;
    EXPECT_EQ(job.plugin.Command(&job.device, PSINJECT_ENDPAGESETUP, &result), S_OK);
    EXPECT_EQ(result, static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(job.core.pieces.size(), before);
}

TEST(Command, OtherPointsLeaveTheDriversDefault) {
    DriverJob job;
    for (DWORD point : {DWORD{PSINJECT_PAGESATEND}, DWORD{PSINJECT_BOUNDINGBOX}, DWORD{PSINJECT_TRAILER},
                        DWORD{PSINJECT_PLATECOLOR}, DWORD{PSINJECT_VMSAVE}}) {
        DWORD result = 0;
        EXPECT_EQ(job.plugin.Command(&job.device, point, &result), S_OK) << point;
        EXPECT_EQ(result, static_cast<DWORD>(ERROR_NOT_SUPPORTED)) << point;
    }
    EXPECT_TRUE(job.core.pieces.empty());
}

TEST(Command, FailsWithoutHelperOrDevice) {
    DriverJob unpublished(false);
    DWORD result = 0;
    SetLastError(1234);
    EXPECT_EQ(unpublished.plugin.Command(&unpublished.device, PSINJECT_COMMENTS, &result), E_FAIL);
    EXPECT_EQ(result, 1234u);  // the thread's last error is the result

    DriverJob job;
    EXPECT_EQ(job.plugin.Command(nullptr, PSINJECT_COMMENTS, &result), E_FAIL);
    job.device.pOEMDM = nullptr;
    EXPECT_EQ(job.plugin.Command(&job.device, PSINJECT_COMMENTS, &result), E_FAIL);
    job.device.pOEMDM = &job.record;
    EXPECT_EQ(job.plugin.Command(&job.device, PSINJECT_COMMENTS, nullptr), E_FAIL);
    EXPECT_TRUE(job.core.pieces.empty());
}

// The job state the hooks and the injection points share: the page number comment follows the
// pages counted at page setup, and the escapes' duplex request reaches the page comment.
TEST(Command, InjectionPointsSeeWhatTheEscapesSet) {
    DriverJob job;
    DWORD result = 0;
    job.plugin.Command(&job.device, PSINJECT_BEGINPAGESETUP, &result);
    job.Escape(0x10018);
    job.core.pieces.clear();
    EXPECT_EQ(job.plugin.Command(&job.device, PSINJECT_PAGENUMBER, &result), S_OK);
    ASSERT_EQ(job.core.pieces.size(), 2u);
    EXPECT_EQ(job.core.pieces[0], "%%Page: 2 2\n");
    EXPECT_EQ(job.core.pieces[1],
              "statusdict dup /setmanualduplexmode known {begin 1 setmanualduplexmode end}{pop}ifelse\n");
}
