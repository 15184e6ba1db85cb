#include "support/hero_game.h"

#include <algorithm>

namespace pilfern::test {

HeroGame::HeroGame(int engineVersion, std::string_view gothicIni) : fixture_(engineVersion) {
    fixture_.WriteGameIni(gothicIni);
    sim::SimNpc& hero = Engine().CreateNpc("hero", "PC_HERO");
    hero.name = "Hero";
    hero.hitpoints = 100;
    Engine().PlaceInWorld(hero);
    Engine().SetPlayer(&hero);
    hero_ = &hero;
    fixture_.Load();
    Game().Init();
}

std::vector<int> HeroGame::Frame(const std::set<int>& down, std::uint32_t ms) {
    Game().HoldKeys(down);
    return Game().Frame(ms);
}

void HeroGame::Tap(const std::set<int>& keys) {
    Frame(keys);
    Frame();
}

std::vector<sim::DrawRecord> HeroGame::DrawnTexts() const {
    std::vector<sim::DrawRecord> texts;
    for (const sim::DrawRecord& record : fixture_.Game().engine.DrawRecords()) {
        if (record.kind == sim::DrawRecord::Kind::Text) {
            texts.push_back(record);
        }
    }
    return texts;
}

bool HeroGame::Drew(std::string_view text) const {
    const auto texts = DrawnTexts();
    return std::any_of(texts.begin(), texts.end(),
                       [text](const sim::DrawRecord& record) { return record.text == text; });
}

bool HeroGame::DrewTexture(std::string_view texture) const {
    const auto& records = fixture_.Game().engine.DrawRecords();
    return std::any_of(records.begin(), records.end(), [texture](const sim::DrawRecord& record) {
        return record.kind == sim::DrawRecord::Kind::Quad && record.texture == texture;
    });
}

std::vector<std::string> HeroGame::LoggedCalls() {
    std::vector<std::string> calls;
    for (const sim::EngineCall& call : Engine().CallLog()) {
        calls.push_back(sim::CallText(call));
    }
    return calls;
}

sim::SimNpc& HeroGame::AddWisp(std::string_view instance, zVEC3 at) {
    sim::SimNpc& wisp =
        Engine().CreateNpc("wisp" + std::to_string(Engine().Npcs().size()), std::string(instance));
    wisp.vob.position = at;
    Engine().PlaceInWorld(wisp);
    return wisp;
}

}  // namespace pilfern::test
