// The script parser: one symbol table of integer variables, functions and instance variables,
// looked up by name ignoring case (the parser keeps every symbol in upper case) or by index.
// A function of the simulated scripts answers the result the scenario gives it.

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstdlib>

#include "host/cstring.h"
#include "sim/sim_engine.h"

namespace pilfern::sim {
namespace {

// The simulated scripts' functions take this much of the parser's code stack each, so that
// every function starts at its own place.
constexpr int kFunctionCodeSize = 64;

std::string Quoted(const zSTRING& name) {
    return name.HasBuffer() ? "\"" + std::string(name.Text()) + "\""
                            : "(a name without character buffer)";
}

}  // namespace

void SimEngine::ScriptFault(const std::string& problem) {
    GameFault("the game's scripts cannot answer: " + problem);
}

zCPar_Symbol& SimEngine::Declare(std::string_view name, zCPar_Symbol::Kind kind) {
    auto found =
        std::find_if(parser.symbols.begin(), parser.symbols.end(),
                     [name](const auto& symbol) { return EqualsIgnoringCase(symbol->name, name); });
    if (found == parser.symbols.end()) {
        parser.symbols.push_back(std::make_unique<zCPar_Symbol>());
        found = std::prev(parser.symbols.end());
        (*found)->name = std::string(name);
    }
    zCPar_Symbol& symbol = **found;
    if (kind == zCPar_Symbol::Kind::Function && symbol.kind != kind) {
        symbol.value =
            static_cast<int>(std::distance(parser.symbols.begin(), found) + 1) * kFunctionCodeSize;
    }
    symbol.kind = kind;
    return symbol;
}

void SimEngine::SetSymbol(std::string_view name, int value) {
    Declare(name, zCPar_Symbol::Kind::Variable).value = value;
}

void SimEngine::SetFunction(std::string_view name, int result) {
    Declare(SymbolName(name), zCPar_Symbol::Kind::Function).result = result;
}

const zCPar_Symbol* SimEngine::FindSymbol(std::string_view name) const {
    const auto found =
        std::find_if(parser.symbols.begin(), parser.symbols.end(),
                     [name](const auto& symbol) { return EqualsIgnoringCase(symbol->name, name); });
    return found == parser.symbols.end() ? nullptr : found->get();
}

const zCPar_Symbol& SimEngine::CalledFunction(const zCParser* scripts, const zSTRING& name) const {
    const zCPar_Symbol* symbol =
        scripts == &parser && name.HasBuffer() ? FindSymbol(name.Text()) : nullptr;
    if (symbol == nullptr) {
        ScriptFault("they have no function " + Quoted(name));
    }
    if (symbol->kind != zCPar_Symbol::Kind::Function) {
        ScriptFault(symbol->name + " is no function");
    }
    return *symbol;
}

int SimEngine::Call(const zCPar_Symbol& function) {
    const zCPar_Symbol* self = FindSymbol("SELF");
    Note(ScriptCalled{function.name, function.result,
                      Describe(self == nullptr ? nullptr : self->instance)});
    return function.result;
}

zCParser* SimEngine::eng_script_parser() {
    Count(Op(__func__));
    return &parser;
}

zCPar_Symbol* SimEngine::eng_script_find_symbol(zCParser* scripts, const zSTRING& name) {
    Count(Op(__func__), scripts, name);
    return scripts == &parser ? const_cast<zCPar_Symbol*>(FindSymbol(name.Text())) : nullptr;
}

int SimEngine::eng_script_symbol_int(const zCPar_Symbol* symbol) {
    Count(Op(__func__), symbol);
    return symbol == nullptr ? 0 : symbol->value;
}

// An instance variable the scripts do not declare is not set, as in the game.
void SimEngine::eng_script_set_instance(zCParser* scripts, const zSTRING& name, zCObject* object) {
    Count(Op(__func__), scripts, name, object);
    if (scripts != &parser) {
        return;
    }
    auto* symbol = const_cast<zCPar_Symbol*>(FindSymbol(name.Text()));
    if (symbol != nullptr && symbol->kind == zCPar_Symbol::Kind::Instance) {
        symbol->instance = object;
    }
}

int SimEngine::eng_script_call_by_name(zCParser* scripts, const zSTRING& name) {
    Count(Op(__func__), scripts, name);
    return Call(CalledFunction(scripts, name));
}

int SimEngine::eng_script_symbol_index(zCParser* scripts, const zSTRING& name) {
    Count(Op(__func__), scripts, name);
    const zCPar_Symbol* symbol = scripts == &parser ? FindSymbol(name.Text()) : nullptr;
    if (symbol == nullptr) {
        return -1;
    }
    const auto found = std::find_if(parser.symbols.begin(), parser.symbols.end(),
                                    [symbol](const auto& held) { return held.get() == symbol; });
    return static_cast<int>(std::distance(parser.symbols.begin(), found));
}

int SimEngine::eng_script_call_by_index(zCParser* scripts, int index) {
    Count(Op(__func__), scripts, index);
    if (scripts != &parser || index < 0 || index >= static_cast<int>(parser.symbols.size())) {
        ScriptFault("they have no symbol with the index " + std::to_string(index));
    }
    const zCPar_Symbol& symbol = *parser.symbols.at(static_cast<std::size_t>(index));
    if (symbol.kind != zCPar_Symbol::Kind::Function) {
        ScriptFault("their symbol " + std::to_string(index) + " (" + symbol.name +
                    ") is no function");
    }
    return Call(symbol);
}

}  // namespace pilfern::sim
