#!/usr/bin/env python3
"""Lists the functions of a browser program that Asyncify must instrument: those that can be on the
stack when the program yields to the page (bz_wait). Reads the program's WebAssembly text (wasm-dis
of a link without Asyncify, with function names) and writes a JSON list for -sASYNCIFY_ONLY.

Binaryen's own analysis assumes that every indirect call can yield, which instruments most of the
program (every virtual call and std::function reaches a yield for it). Here an indirect call
reaches the functions of the table that have its signature, which is still safe for C++ (a call
through a pointer calls a function of the pointer's type) and instruments a fraction: the yields
sit behind a few virtual calls of the backend.
  asyncify_only.py PROGRAM.wat OUT.json
"""
import json
import re
import sys

# The imports through which the program yields to the page (EM_ASYNC_JS in the web backend).
YIELDING_IMPORTS = {'bz_wait'}
# The backend's yielding methods are called through its interfaces, which callers take from these
# accessors: an indirect call of such a method's signature in a function that asks for the
# interface may reach it. (The interface calls are inlined into their callers, so the accessors
# are what is left to see.)
BACKEND_ACCESSORS = {
    'platform::CurrentClock': 'platform::web::WebBackend::Sleep(unsigned int)',
    'platform::CurrentDisplayHost': 'platform::web::WebBackend::WaitForVerticalBlank()',
    'platform::CurrentWindowHost': 'platform::web::WebBackend::PumpEvents(bool)',
}
# The other functions called through pointers that may yield: window procedures, which the window
# system calls with each message (a procedure that ends the game stops its music, which may wait).
CALLBACK_SIGNATURES = {'i32 i32 i32 i32 -> i32'}

FUNC = re.compile(r'^ \(func \$(\S+)(.*)$')
IMPORT = re.compile(r'^ \(import "[^"]*" "[^"]*" \(func \$(\S+)')
TYPE = re.compile(r'^ \(type \$(\S+) \(func(.*)\)\)$')
CALL = re.compile(r'\((?:return_)?call \$([^\s)]+)')
CALL_INDIRECT = re.compile(r'\((?:return_)?call_indirect (?:\$\S+ )?\(type \$([^\s)]+)\)')
PARAM = re.compile(r'\(param(?: \$\S+)? ([^()]+)\)')
RESULT = re.compile(r'\(result ([^()]+)\)')


def signature(text):
    """The (params, results) of a function header or a type's (func ...) body."""
    params = [t for group in PARAM.findall(text) for t in group.split()]
    results = [t for group in RESULT.findall(text) for t in group.split()]
    return ' '.join(params) + ' -> ' + ' '.join(results)


def unescape(name):
    """wasm-dis writes bytes outside names' plain characters as \\XX."""
    raw = re.sub(r'\\([0-9a-fA-F]{2})', lambda m: chr(int(m.group(1), 16)), name)
    return raw.encode('latin-1').decode('utf-8', 'replace')


def read_module(path):
    types, imports, funcs, table = {}, set(), {}, []
    current = None
    with open(path, encoding='utf-8', errors='replace') as wat:
        for line in wat:
            if line.startswith(' (func '):
                m = FUNC.match(line)
                current = {'sig': signature(m.group(2).split('(local', 1)[0]), 'calls': set(), 'indirect': set()}
                funcs[m.group(1)] = current
                continue
            if line.startswith(' (') and not line.startswith(' (func'):
                current = None
                m = TYPE.match(line)
                if m:
                    types[m.group(1)] = signature(m.group(2))
                m = IMPORT.match(line)
                if m:
                    imports.add(m.group(1))
                if line.startswith(' (elem '):
                    table.extend(re.findall(r'\$([^\s)]+)', line.split(')', 1)[1]))
                continue
            if current is not None:
                if 'call' in line:
                    current['calls'].update(CALL.findall(line))
                    current['indirect'].update(CALL_INDIRECT.findall(line))
    return types, imports, funcs, table


def yielding_functions(types, imports, funcs, table):
    """The functions that can be on the stack when a yielding import is called."""
    by_plain = {unescape(name): name for name in funcs}
    callbacks = [name for name in table if name in funcs and funcs[name]['sig'] in CALLBACK_SIGNATURES]
    interfaces = {}  # accessor's wasm name -> the signature of its interface's yielding method
    for accessor, method in BACKEND_ACCESSORS.items():
        if method not in by_plain:
            sys.exit('asyncify_only.py: no ' + method + ' in the program')
        for name in funcs:
            if unescape(name).split('(')[0] == accessor:
                interfaces[name] = funcs[by_plain[method]]['sig']
    yielding = set(YIELDING_IMPORTS & imports)
    changed = True
    while changed:
        changed = False
        for name, func in funcs.items():
            if name in yielding:
                continue
            sigs = set(types.get(t) for t in func['indirect'])
            if (func['calls'] & yielding
                    or any(interfaces[a] in sigs for a in func['calls'] & interfaces.keys())
                    or any(c in yielding and funcs[c]['sig'] in sigs for c in callbacks)):
                yielding.add(name)
                changed = True
    return sorted(name for name in yielding if name in funcs)


def main():
    if len(sys.argv) != 3:
        sys.exit('usage: asyncify_only.py PROGRAM.wat OUT.json')
    types, imports, funcs, table = read_module(sys.argv[1])
    missing = YIELDING_IMPORTS - imports
    if missing:
        sys.exit('asyncify_only.py: the program does not import ' + ', '.join(sorted(missing)))
    names = yielding_functions(types, imports, funcs, table)
    # emcc reads '.', '#' and '?' in these names as ' ', '&' and ','; Binaryen's '*' matches them.
    listed = [re.sub(r'[.#?]', '*', unescape(name)) for name in names]
    with open(sys.argv[2], 'w', encoding='utf-8') as out:
        json.dump(listed, out, indent=0)
        out.write('\n')
    print(f'asyncify: {len(listed)} of {len(funcs)} functions can be on the stack when the program yields')


if __name__ == '__main__':
    main()
