// A small test list for the browser tests: suite.test(name, body), then suite.run() gives
// [{name, ok, message}] for the Python side to print.

export function check(condition, message) {
  if (!condition) throw new Error(message);
}

export function same(actual, expected, what) {
  const a = JSON.stringify(actual);
  const e = JSON.stringify(expected);
  check(a === e, `${what}: got ${a}, expected ${e}`);
}

export class Suite {
  constructor() {
    this.tests = [];
  }

  test(name, body) {
    this.tests.push({ name, body });
  }

  async run(...args) {
    const results = [];
    for (const { name, body } of this.tests) {
      try {
        await body(...args);
        results.push({ name, ok: true });
      } catch (error) {
        results.push({ name, ok: false, message: String((error && error.stack) || error) });
      }
    }
    return results;
  }
}
