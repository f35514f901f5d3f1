// SPDX-License-Identifier: GPL-3.0-or-later
#include "schemes/core/Scheme.h"

#include "common/core/OutsideFile.h"

#include <QFile>
#include <QFileInfo>

#include <cmath>

namespace {

// Where the parts of a scheme begin.
constexpr int kOptionsAt = 0x05;
constexpr int kWeaponsAt = 0x29;
constexpr int kSuperWeaponsAt = 0xDD;
constexpr int kExtendedAt = 0x129;

QString onOff(bool on)
{
    return on ? QStringLiteral("on") : QStringLiteral("off");
}

QString seconds(int value)
{
    return QStringLiteral("%1 s").arg(value);
}

// A 16.16 fixed-point number in words, without needless zeros.
QString fixedText(double value)
{
    QString text = QString::number(value, 'f', 4);
    while (text.contains(QLatin1Char('.')) && (text.endsWith(QLatin1Char('0')) || text.endsWith(QLatin1Char('.'))))
        text.chop(1);
    return text;
}

double rounded(double value)
{
    return std::round(value * 10000.0) / 10000.0;
}

// The options every version holds, from offset 5 on, one byte each.
enum class Kind {
    Seconds,
    Bool,
    Number,
    FallDamage,
    Stockpiling,
    WormSelect,
    SuddenDeath,
    Hazards,
    MineDelay,
    Placement,
    TurnTime,
    RoundTime,
    Wins,
};

struct OptionField {
    int offset;
    const char* key;
    const char* label;
    Kind kind;
    SchemeGroup group;
};

constexpr SchemeGroup kGame = SchemeGroup::GameOptions;
constexpr SchemeGroup kCrates = SchemeGroup::CratesAndObjects;
constexpr SchemeGroup kSudden = SchemeGroup::SuddenDeath;

const OptionField kOptions[] = {
    {0x05, "hotSeatTime", "Hot-seat time", Kind::Seconds, kGame},
    {0x06, "retreatTime", "Retreat time", Kind::Seconds, kGame},
    {0x07, "ropeRetreatTime", "Rope retreat time", Kind::Seconds, kGame},
    {0x08, "displayRoundTime", "Display round time", Kind::Bool, kGame},
    {0x09, "automaticReplays", "Automatic replays", Kind::Bool, kGame},
    {0x0A, "fallDamage", "Fall damage", Kind::FallDamage, kGame},
    {0x0B, "artilleryMode", "Artillery mode", Kind::Bool, kGame},
    {0x0C, "bountyMode", "Bounty mode", Kind::Number, kGame},
    {0x0D, "stockpiling", "Stockpiling", Kind::Stockpiling, kGame},
    {0x0E, "wormSelect", "Worm select", Kind::WormSelect, kGame},
    {0x0F, "suddenDeathEvent", "Sudden death event", Kind::SuddenDeath, kSudden},
    {0x10, "waterRise", "Water rise", Kind::Number, kSudden},
    {0x11, "weaponCrateChance", "Weapon crate chance", Kind::Number, kCrates},
    {0x12, "donorCards", "Donor cards", Kind::Bool, kCrates},
    {0x13, "healthCrateChance", "Health crate chance", Kind::Number, kCrates},
    {0x14, "healthCrateEnergy", "Health crate energy", Kind::Number, kCrates},
    {0x15, "utilityCrateChance", "Utility crate chance", Kind::Number, kCrates},
    {0x16, "hazardousObjects", "Hazardous objects", Kind::Hazards, kCrates},
    {0x17, "mineDelay", "Mine delay", Kind::MineDelay, kCrates},
    {0x18, "dudMines", "Dud mines", Kind::Bool, kCrates},
    {0x19, "manualWormPlacement", "Worm placement", Kind::Placement, kGame},
    {0x1A, "wormEnergy", "Worm energy", Kind::Number, kGame},
    {0x1B, "turnTime", "Turn time", Kind::TurnTime, kGame},
    {0x1C, "roundTime", "Round time", Kind::RoundTime, kGame},
    {0x1D, "wins", "Number of wins", Kind::Wins, kGame},
    {0x1E, "blood", "Blood", Kind::Bool, kGame},
    {0x1F, "aquaSheep", "Aqua sheep", Kind::Bool, kGame},
    {0x20, "sheepHeaven", "Sheep heaven", Kind::Bool, kCrates},
    {0x21, "godWorms", "God worms", Kind::Bool, kGame},
    {0x22, "indestructibleLand", "Indestructible land", Kind::Bool, kGame},
    {0x23, "upgradedGrenade", "Upgraded grenade", Kind::Bool, kGame},
    {0x24, "upgradedShotgun", "Upgraded shotgun", Kind::Bool, kGame},
    {0x25, "upgradedClusters", "Upgraded clusters", Kind::Bool, kGame},
    {0x26, "upgradedLongbow", "Upgraded longbow", Kind::Bool, kGame},
    {0x27, "teamWeapons", "Team weapons", Kind::Bool, kGame},
    {0x28, "superWeapons", "Super weapons in crates", Kind::Bool, kCrates},
};

// A value with names for its documented range: the name, or the number
// with a problem when it is past the range.
QString named(int value, const QStringList& names)
{
    return value < names.size() ? names[value] : QString::number(value);
}

SchemeSetting option(const OptionField& field, int value, QStringList* problems)
{
    SchemeSetting s;
    s.key = QLatin1String(field.key);
    s.label = QLatin1String(field.label);
    s.group = field.group;
    QJsonValue json = value;
    auto outOfRange = [&](int last) {
        if (value > last)
            *problems << QStringLiteral("%1 is %2; the game knows 0 to %3.").arg(s.label).arg(value).arg(last);
    };
    switch (field.kind) {
    case Kind::Seconds:
        s.text = seconds(value);
        break;
    case Kind::Bool:
        s.text = onOff(value != 0);
        json = value != 0;
        break;
    case Kind::Number:
        s.text = QString::number(value);
        break;
    case Kind::FallDamage:
        s.text = value <= 1 ? onOff(value != 0) : QString::number(value);
        break;
    case Kind::Stockpiling: {
        static const QStringList names = {QStringLiteral("off"), QStringLiteral("on"), QStringLiteral("anti")};
        s.text = named(value, names);
        json = s.text;
        outOfRange(2);
        break;
    }
    case Kind::WormSelect: {
        static const QStringList names = {QStringLiteral("off"), QStringLiteral("on"), QStringLiteral("random")};
        s.text = named(value, names);
        json = value != 0;
        s.json.insert(QStringLiteral("wormSelectMode"), s.text);
        outOfRange(2);
        break;
    }
    case Kind::SuddenDeath: {
        static const QStringList words = {QStringLiteral("round ends"), QStringLiteral("nuclear strike"),
                                          QStringLiteral("health drops to 1"), QStringLiteral("nothing happens")};
        static const QStringList keys = {QStringLiteral("roundEnds"), QStringLiteral("nuclearStrike"),
                                         QStringLiteral("healthDrop"), QStringLiteral("nothing")};
        s.text = named(value, words);
        json = named(value, keys);
        outOfRange(3);
        break;
    }
    case Kind::Hazards: {
        // Version 1 knows 0, 1, 2 and 5; later versions keep an object count
        // in the same byte, above the two bits of the kinds.
        int kinds = value;
        if (value == 3 || value == 4)
            kinds = 1;
        else if (value == 6 || value == 7)
            kinds = 0;
        kinds = kinds == 5 ? 3 : kinds & 3;
        static const QStringList words = {QStringLiteral("none"), QStringLiteral("mines"), QStringLiteral("oil drums"),
                                          QStringLiteral("mines and oil drums")};
        static const QStringList keys = {QStringLiteral("none"), QStringLiteral("mines"), QStringLiteral("drums"),
                                         QStringLiteral("minesAndDrums")};
        s.text = words[kinds];
        json = keys[kinds];
        break;
    }
    case Kind::MineDelay:
        if (value == 4 || value >= 128) {
            s.text = QStringLiteral("random");
            json = s.text;
        } else {
            s.text = seconds(value);
        }
        break;
    case Kind::Placement:
        s.text = value != 0 ? QStringLiteral("manual") : QStringLiteral("automatic");
        json = value != 0;
        break;
    case Kind::TurnTime:
        s.text = value >= 128 ? QStringLiteral("infinite (counts up)") : seconds(value);
        s.json.insert(QStringLiteral("turnTimeCountsUp"), value >= 128);
        break;
    case Kind::RoundTime:
        if (value >= 128) {
            s.text = seconds(256 - value);
            s.json.insert(QStringLiteral("roundTimeSeconds"), 256 - value);
        } else {
            s.text = QStringLiteral("%1 min").arg(value);
        }
        break;
    case Kind::Wins:
        json = value == 0 ? 1 : value;
        s.text = QString::number(json.toInt());
        break;
    }
    s.json.insert(s.key, json);
    return s;
}

// The extended options of version 3, in the order the file keeps them.
enum class ExtKind { Bool, TriState, U8, S16, U16, U32, Fixed, Fraction16, ByteOrDefault };

struct ExtendedField {
    const char* key;
    const char* label;
    ExtKind kind;
    quint32 fallback; // the documented default, as stored
};

const ExtendedField kExtended[] = {
    {"dataVersion", "Data version", ExtKind::U32, 0},
    {"constantWind", "Constant wind", ExtKind::Bool, 0},
    {"wind", "Wind", ExtKind::S16, 100},
    {"windBias", "Wind bias", ExtKind::U8, 15},
    {"gravity", "Gravity", ExtKind::Fixed, 15728},
    {"terrainFriction", "Terrain friction", ExtKind::Fixed, 62914},
    {"ropeKnockForce", "Rope knock force", ExtKind::ByteOrDefault, 0xFF},
    {"bloodAmount", "Blood amount", ExtKind::ByteOrDefault, 0xFF},
    {"ropeUpgrade", "Rope upgrade", ExtKind::Bool, 0},
    {"groupPlaceAllies", "Group place allies", ExtKind::Bool, 0},
    {"noCrateProbability", "No-crate probability", ExtKind::ByteOrDefault, 0xFF},
    {"maximumCrateCount", "Maximum crate count", ExtKind::U16, 5},
    {"suddenDeathDisablesWormSelect", "Sudden death disables worm select", ExtKind::Bool, 1},
    {"suddenDeathWormDamagePerTurn", "Sudden death worm damage per turn", ExtKind::U8, 5},
    {"phasedWormsAllied", "Phased worms (allied)", ExtKind::U8, 0},
    {"phasedWormsEnemy", "Phased worms (enemy)", ExtKind::U8, 0},
    {"circularAim", "Circular aim", ExtKind::Bool, 0},
    {"antiLockAim", "Anti-lock aim", ExtKind::Bool, 0},
    {"antiLockPower", "Anti-lock power", ExtKind::Bool, 0},
    {"wormSelectionDoesntEndHotSeat", "Worm selection doesn't end hot seat", ExtKind::Bool, 0},
    {"wormSelectionIsNeverCancelled", "Worm selection is never cancelled", ExtKind::Bool, 0},
    {"battyRope", "Batty rope", ExtKind::Bool, 0},
    {"ropeRollDrops", "Rope-roll drops", ExtKind::U8, 0},
    {"xImpactLossOfControl", "X-impact loss of control", ExtKind::U8, 0},
    {"keepControlAfterBumpingHead", "Keep control after bumping head", ExtKind::Bool, 0},
    {"keepControlAfterSkimming", "Keep control after skimming", ExtKind::U8, 0},
    {"fallDamageTriggeredByExplosions", "Fall damage triggered by explosions", ExtKind::Bool, 0},
    {"explosionsPushAllObjects", "Explosions push all objects", ExtKind::TriState, 0x80},
    {"undeterminedCrates", "Undetermined crates", ExtKind::TriState, 0x80},
    {"undeterminedMineFuses", "Undetermined mine fuses", ExtKind::TriState, 0x80},
    {"firingPausesTimer", "Firing pauses timer", ExtKind::Bool, 1},
    {"lossOfControlDoesntEndTurn", "Loss of control doesn't end turn", ExtKind::Bool, 0},
    {"weaponUseDoesntEndTurn", "Weapon use doesn't end turn", ExtKind::Bool, 0},
    {"weaponUseDoesntEndTurnDoesntBlockAnyWeapons", "Weapon use doesn't end turn doesn't block any weapons",
     ExtKind::Bool, 0},
    {"pneumaticDrillImpartsVelocity", "Pneumatic drill imparts velocity", ExtKind::TriState, 0x80},
    {"girderRadiusAssist", "Girder radius assist", ExtKind::Bool, 0},
    {"petrolTurnDecay", "Petrol turn decay", ExtKind::Fraction16, 0x3332},
    {"petrolTouchDecay", "Petrol touch decay", ExtKind::U8, 30},
    {"maximumFlameletCount", "Maximum flamelet count", ExtKind::U16, 200},
    {"maximumProjectileSpeed", "Maximum projectile speed", ExtKind::Fixed, 32u << 16},
    {"maximumRopeSpeed", "Maximum rope speed", ExtKind::Fixed, 16u << 16},
    {"maximumJetPackSpeed", "Maximum jet pack speed", ExtKind::Fixed, 5u << 16},
    {"gameEngineSpeed", "Game engine speed", ExtKind::Fixed, 1u << 16},
    {"indianRopeGlitch", "Indian rope glitch", ExtKind::TriState, 0x80},
    {"herdDoublingGlitch", "Herd doubling glitch", ExtKind::TriState, 0x80},
    {"jetPackBungeeGlitch", "Jet pack bungee glitch", ExtKind::Bool, 1},
    {"angleCheatGlitch", "Angle cheat glitch", ExtKind::Bool, 1},
    {"glideGlitch", "Glide glitch", ExtKind::Bool, 1},
    {"skipwalking", "Skipwalking", ExtKind::U8, 0},
    {"blockRoofing", "Block roofing", ExtKind::U8, 0},
    {"floatingWeaponGlitch", "Floating weapon glitch", ExtKind::Bool, 1},
    {"rubberWormBounciness", "RubberWorm bounciness", ExtKind::Fixed, 0},
    {"rubberWormAirViscosity", "RubberWorm air viscosity", ExtKind::Fixed, 0},
    {"rubberWormAirViscosityAppliesToWorms", "RubberWorm air viscosity applies to worms", ExtKind::Bool, 0},
    {"rubberWormWindInfluence", "RubberWorm wind influence", ExtKind::Fixed, 0},
    {"rubberWormWindInfluenceAppliesToWorms", "RubberWorm wind influence applies to worms", ExtKind::Bool, 0},
    {"rubberWormGravityType", "RubberWorm gravity type", ExtKind::U8, 0},
    {"rubberWormGravityStrength", "RubberWorm gravity strength", ExtKind::Fixed, 1u << 16},
    {"rubberWormCrateRate", "RubberWorm crate rate", ExtKind::U8, 0},
    {"rubberWormCrateShower", "RubberWorm crate shower", ExtKind::Bool, 0},
    {"rubberWormAntiSink", "RubberWorm anti-sink", ExtKind::Bool, 0},
    {"rubberWormRememberWeapons", "RubberWorm remember weapons", ExtKind::Bool, 0},
    {"rubberWormExtendedFusesHerds", "RubberWorm extended fuses/herds", ExtKind::Bool, 0},
    {"rubberWormAntiLockAim", "RubberWorm anti-lock aim", ExtKind::Bool, 0},
    {"terrainOverlapPhasingGlitch", "Terrain overlap phasing glitch", ExtKind::TriState, 0x80},
    {"fractionalRoundTimer", "Fractional round timer", ExtKind::Bool, 0},
    {"automaticEndOfTurnRetreat", "Automatic end-of-turn retreat", ExtKind::Bool, 0},
    {"healthCratesCurePoison", "Health crates cure poison", ExtKind::U8, 1},
    {"rubberWormKaosMod", "RubberWorm kaos mod", ExtKind::U8, 0},
    {"sheepHeavensGate", "Sheep heaven's gate", ExtKind::U8, 7},
    {"conserveInstantUtilities", "Conserve instant utilities", ExtKind::Bool, 0},
    {"expediteInstantUtilities", "Expedite instant utilities", ExtKind::Bool, 0},
    {"doubleTimeStackLimit", "Double time stack limit", ExtKind::U8, 1},
};

int fieldSize(ExtKind kind)
{
    switch (kind) {
    case ExtKind::S16:
    case ExtKind::U16:
    case ExtKind::Fraction16:
        return 2;
    case ExtKind::U32:
    case ExtKind::Fixed:
        return 4;
    default:
        return 1;
    }
}

quint32 littleEndian(const QByteArray& bytes, int at, int size)
{
    quint32 value = 0;
    for (int i = size - 1; i >= 0; --i)
        value = (value << 8) | static_cast<quint8>(bytes[at + i]);
    return value;
}

SchemeSetting extendedSetting(const ExtendedField& field, quint32 raw, bool stored, QStringList* problems)
{
    SchemeSetting s;
    s.key = QLatin1String(field.key);
    s.label = QLatin1String(field.label);
    s.group = SchemeGroup::Extended;
    s.stored = stored;
    QJsonValue json;
    switch (field.kind) {
    case ExtKind::Bool:
        s.text = onOff(raw != 0);
        json = raw != 0;
        break;
    case ExtKind::TriState:
        if (raw == 0x80) {
            s.text = QStringLiteral("default");
            json = s.text;
        } else {
            s.text = onOff(raw != 0);
            json = raw != 0;
            if (raw > 1)
                *problems
                    << QStringLiteral("%1 is %2; the game knows 0, 1 and 128 (its default).").arg(s.label).arg(raw);
        }
        break;
    case ExtKind::ByteOrDefault:
        if (raw == 0xFF) {
            s.text = QStringLiteral("default");
            json = s.text;
        } else {
            s.text = QString::number(raw);
            json = static_cast<int>(raw);
        }
        break;
    case ExtKind::S16: {
        const int value = static_cast<qint16>(static_cast<quint16>(raw));
        s.text = QString::number(value);
        json = value;
        break;
    }
    case ExtKind::U8:
    case ExtKind::U16:
        s.text = QString::number(raw);
        json = static_cast<int>(raw);
        break;
    case ExtKind::U32:
        s.text = QString::number(raw);
        json = static_cast<double>(raw);
        break;
    case ExtKind::Fixed: {
        const double value = rounded(static_cast<qint32>(raw) / 65536.0);
        s.text = fixedText(value);
        json = value;
        break;
    }
    case ExtKind::Fraction16: {
        const double value = rounded(raw / 65536.0);
        s.text = fixedText(value);
        json = value;
        break;
    }
    }
    s.json.insert(s.key, json);
    return s;
}

QList<SchemeWeapon> weaponsAt(const QByteArray& bytes, int at, const QStringList& names)
{
    QList<SchemeWeapon> weapons;
    for (int i = 0; i < names.size(); ++i) {
        const int offset = at + 4 * i;
        if (offset + 4 > bytes.size())
            break;
        SchemeWeapon w;
        w.name = names[i];
        w.ammo = static_cast<quint8>(bytes[offset]);
        w.power = static_cast<quint8>(bytes[offset + 1]);
        w.delay = static_cast<quint8>(bytes[offset + 2]);
        w.crateChance = static_cast<quint8>(bytes[offset + 3]);
        weapons << w;
    }
    return weapons;
}

} // namespace

QString SchemeWeapon::ammoText() const
{
    return infinite() ? QStringLiteral("infinite") : QString::number(ammo);
}

const SchemeSetting* Scheme::setting(const QString& key) const
{
    for (const QList<SchemeSetting>* list : {&options, &extended}) {
        for (const SchemeSetting& s : *list) {
            if (s.key == key)
                return &s;
        }
    }
    return nullptr;
}

namespace SchemeReader {

const QStringList& weaponNames()
{
    static const QStringList names = {
        QStringLiteral("Bazooka"),
        QStringLiteral("Homing Missile"),
        QStringLiteral("Mortar"),
        QStringLiteral("Grenade"),
        QStringLiteral("Cluster Bomb"),
        QStringLiteral("Skunk"),
        QStringLiteral("Petrol Bomb"),
        QStringLiteral("Banana Bomb"),
        QStringLiteral("Handgun"),
        QStringLiteral("Shotgun"),
        QStringLiteral("Uzi"),
        QStringLiteral("Minigun"),
        QStringLiteral("Longbow"),
        QStringLiteral("Air Strike"),
        QStringLiteral("Napalm Strike"),
        QStringLiteral("Mine"),
        QStringLiteral("Fire Punch"),
        QStringLiteral("Dragon Ball"),
        QStringLiteral("Kamikaze"),
        QStringLiteral("Prod"),
        QStringLiteral("Battle Axe"),
        QStringLiteral("Blowtorch"),
        QStringLiteral("Pneumatic Drill"),
        QStringLiteral("Girder"),
        QStringLiteral("Ninja Rope"),
        QStringLiteral("Parachute"),
        QStringLiteral("Bungee"),
        QStringLiteral("Teleport"),
        QStringLiteral("Dynamite"),
        QStringLiteral("Sheep"),
        QStringLiteral("Baseball Bat"),
        QStringLiteral("Flame Thrower"),
        QStringLiteral("Homing Pigeon"),
        QStringLiteral("Mad Cow"),
        QStringLiteral("Holy Hand Grenade"),
        QStringLiteral("Old Woman"),
        QStringLiteral("Sheep Launcher"),
        QStringLiteral("Super Sheep"),
        QStringLiteral("Mole Bomb"),
        QStringLiteral("Jet Pack"),
        QStringLiteral("Low Gravity"),
        QStringLiteral("Laser Sight"),
        QStringLiteral("Fast Walk"),
        QStringLiteral("Invisibility"),
        QStringLiteral("Damage x2"),
    };
    return names;
}

const QStringList& superWeaponNames()
{
    static const QStringList names = {
        QStringLiteral("Freeze"),
        QStringLiteral("Super Banana Bomb"),
        QStringLiteral("Mine Strike"),
        QStringLiteral("Girder Starter Pack"),
        QStringLiteral("Earthquake"),
        QStringLiteral("Scales of Justice"),
        QStringLiteral("Ming Vase"),
        QStringLiteral("Mike's Carpet Bomb"),
        QStringLiteral("Patsy's Magic Bullet"),
        QStringLiteral("Indian Nuclear Test"),
        QStringLiteral("Select Worm"),
        QStringLiteral("Salvation Army"),
        QStringLiteral("Mole Squadron"),
        QStringLiteral("MB Bomb"),
        QStringLiteral("Concrete Donkey"),
        QStringLiteral("Suicide Bomber"),
        QStringLiteral("Sheep Strike"),
        QStringLiteral("Mail Strike"),
        QStringLiteral("Armageddon"),
    };
    return names;
}

Scheme read(const QByteArray& bytes)
{
    Scheme scheme;
    scheme.size = static_cast<int>(qMin<qsizetype>(bytes.size(), maxFileSize + 1));
    if (bytes.size() > maxFileSize) {
        scheme.problems << QStringLiteral("The file is larger than any game scheme (%1 KiB).").arg(maxFileSize / 1024);
        return scheme;
    }
    if (bytes.size() < kOptionsAt || !bytes.startsWith("SCHM")) {
        scheme.problems << QStringLiteral("The file does not begin with \"SCHM\" and a version: it is no game scheme.");
        return scheme;
    }
    scheme.signature = true;
    scheme.version = static_cast<quint8>(bytes[4]);
    const int size = scheme.size;
    switch (scheme.version) {
    case 1:
        if (size != Scheme::version1Size)
            scheme.problems << QStringLiteral("A version-1 scheme is %1 bytes; this file is %2 bytes.")
                                   .arg(Scheme::version1Size)
                                   .arg(size);
        break;
    case 2:
        if (size != Scheme::version2Size)
            scheme.problems << QStringLiteral("A version-2 scheme is %1 bytes; this file is %2 bytes.")
                                   .arg(Scheme::version2Size)
                                   .arg(size);
        break;
    case 3:
        if (size < Scheme::version2Size)
            scheme.problems << QStringLiteral("A version-3 scheme is at least %1 bytes; this file is %2 bytes.")
                                   .arg(Scheme::version2Size)
                                   .arg(size);
        break;
    default:
        scheme.problems
            << QStringLiteral("Version %1 is no scheme version the game knows (1, 2 or 3).").arg(scheme.version);
        break;
    }

    if (size < kWeaponsAt && (scheme.version >= 1 && scheme.version <= 3))
        scheme.problems << QStringLiteral("The options end early: those past the end of the file are missing.");
    for (const OptionField& field : kOptions) {
        if (field.offset >= size)
            break;
        scheme.options << option(field, static_cast<quint8>(bytes[field.offset]), &scheme.problems);
    }
    scheme.weapons = weaponsAt(bytes, kWeaponsAt, weaponNames());
    if (scheme.version == 2 || scheme.version == 3)
        scheme.superWeapons = weaponsAt(bytes, kSuperWeaponsAt, superWeaponNames());
    if (scheme.version == 3) {
        // Each extended option past the end of the file takes its default.
        int at = kExtendedAt;
        for (const ExtendedField& field : kExtended) {
            const int width = fieldSize(field.kind);
            const bool stored = at + width <= size;
            const quint32 raw = stored ? littleEndian(bytes, at, width) : field.fallback;
            scheme.extended << extendedSetting(field, raw, stored, &scheme.problems);
            at += width;
        }
    }
    return scheme;
}

bool readFile(const QString& path, QByteArray* bytes, QString* error)
{
    // Only a regular file (after its links) is opened: a pipe or a device
    // would block or never end.
    if (!QFileInfo::exists(path)) {
        *error = QStringLiteral("no such file");
        return false;
    }
    QFile file;
    if (!OutsideFile::open(path, file, error, OutsideFile::Words::Short))
        return false;
    *bytes = file.read(maxFileSize + 1);
    if (file.error() != QFileDevice::NoError) {
        *error = file.errorString();
        return false;
    }
    return true;
}

QString groupTitle(SchemeGroup group)
{
    switch (group) {
    case SchemeGroup::GameOptions:
        return QStringLiteral("Game options");
    case SchemeGroup::CratesAndObjects:
        return QStringLiteral("Crates and objects");
    case SchemeGroup::SuddenDeath:
        return QStringLiteral("Sudden death");
    case SchemeGroup::Extended:
        return QStringLiteral("Extended options");
    }
    return {};
}

} // namespace SchemeReader
