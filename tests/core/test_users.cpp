// Operators: the stored form of passwords, the login rules and the store file.
#include <gtest/gtest.h>

#include <fstream>

#include "app/inifile.h"
#include "app/sqlhelpers.h"
#include "app/users.h"
#include "support/testsupport.h"

using namespace kesh;

TEST(Users, StoredPasswordFormRoundTrips) {
    struct Case {
        const char* plain;
        const char* stored;
    };
    const Case cases[] = {{"abc", "26C5C4C3"}, {"", ""}, {"ABC", "C6858483"}};
    for (const Case& c : cases) {
        EXPECT_EQ(HexEncode(ScramblePassword(c.plain)), c.stored) << c.plain;
        EXPECT_EQ(UnscramblePassword(HexDecode(c.stored)), c.plain) << c.stored;
    }
}

TEST(Users, StoreSavesScrambledAndReloadsAllValues) {
    const std::string path = (test::ScratchDir("users_store") / "sub" / "users.ini").string();
    UserStore s;
    s.setPassword(0, "abc");
    s.setPassword(3, "Clave3");
    s.setName(2, "María");
    s.setLevel(3, 1);
    s.setLevel(0, 4); // the supervisor stays at 0
    s.save(path);

    const IniFile ini = IniFile::load(path);
    EXPECT_EQ(ini.readString("Users", "passsup"), "26C5C4C3");
    EXPECT_EQ(ini.readString("Users", "passop1"), "");
    EXPECT_EQ(ini.readInt("Users", "levelop3", -1), 1);
    EXPECT_EQ(ini.readInt("Users", "levelop6", -1), 4);
    EXPECT_EQ(ini.keys("Users").size(), 20u);

    const UserStore back = UserStore::load(path);
    EXPECT_EQ(back, s);
    EXPECT_EQ(back.level(0), 0);
    EXPECT_EQ(back.displayName(2), "María");
}

TEST(Users, MissingStoreMeansSupervisorWithoutLogin) {
    const UserStore s = UserStore::load((test::ScratchDir("users_none") / "users.ini").string());
    for (int i = 1; i < kUserCount; ++i) EXPECT_EQ(s.level(i), 4);
    EXPECT_EQ(s.displayName(4), "Operador4");
    const LoginResult r = LoginWithoutDialog(s, "ana");
    EXPECT_TRUE(r.ok);
    EXPECT_EQ(r.userName, "Supervisor");
    EXPECT_EQ(r.userLevel, 0);
}

TEST(Users, LoginComparesWithoutCaseAndTakesTheOperatorLevel) {
    UserStore s;
    s.setPassword(0, "Jefe");
    s.setPassword(3, "ÑandúABC");
    s.setLevel(3, 2);
    EXPECT_FALSE(LoginWithoutDialog(s, "ana").ok);
    EXPECT_TRUE(LoginWithoutDialog(s, "Administrator").ok); // that account needs no login

    struct Case {
        int index;
        const char* typed;
        bool ok;
        int level;
    };
    const Case cases[] = {
        {3, "ñandúabc", true, 2}, {3, "ÑANDÚABC", true, 2}, {3, "nandua", false, 0},
        {0, "JEFE", true, 0},     {0, "", false, 0},        {1, "", true, 4}, // Operador1 has none
    };
    for (const Case& c : cases) {
        const LoginResult r = Login(s, c.index, c.typed);
        EXPECT_EQ(r.ok, c.ok) << c.index << " " << c.typed;
        if (c.ok) {
            EXPECT_EQ(r.userLevel, c.level);
            EXPECT_EQ(r.userIndex, c.index);
        }
    }
}

TEST(Users, AcceptNeedsThreeCharactersExceptForTheSupervisor) {
    EXPECT_TRUE(LoginAcceptEnabled(0, ""));
    EXPECT_FALSE(LoginAcceptEnabled(2, "ab"));
    EXPECT_FALSE(LoginAcceptEnabled(2, "ñú")); // characters, not bytes
    EXPECT_TRUE(LoginAcceptEnabled(2, "abc"));
}

TEST(Users, PasswordChangeRules) {
    EXPECT_EQ(CheckPasswordChange("", ""), PasswordChange::AskClear);
    EXPECT_EQ(CheckPasswordChange("Nueva1", "nUEVA1"), PasswordChange::Store);
    EXPECT_EQ(CheckPasswordChange("Nueva1", "Nueva2"), PasswordChange::Mismatch);
}

TEST(Users, ChangingOnePasswordKeepsTheOthers) {
    const std::string path = (test::ScratchDir("users_change") / "users.ini").string();
    UserStore s;
    s.setPassword(0, "sup");
    s.setPassword(1, "uno1");
    s.setPassword(3, "tres");
    s.save(path);
    UserStore t = UserStore::load(path);
    t.setPassword(2, "dos2");
    t.save(path);
    const UserStore u = UserStore::load(path);
    EXPECT_TRUE(Login(u, 0, "SUP").ok);
    EXPECT_TRUE(Login(u, 1, "uno1").ok);
    EXPECT_TRUE(Login(u, 2, "dos2").ok);
    EXPECT_TRUE(Login(u, 3, "tres").ok);
}

TEST(Users, StoredPasswordThatIsNotHexIsRefused) {
    const std::string path = (test::ScratchDir("users_bad") / "users.ini").string();
    std::ofstream(path) << "[Users]\npasssup=ZZ12\n";
    EXPECT_THROW(UserStore::load(path), std::invalid_argument);
}
