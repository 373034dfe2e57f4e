// The five example treatments of the repository's examples/ folder, bundled into the page as
// text, for "Try the example data".
import t1 from '../../examples/treatment-1.txt';
import t2 from '../../examples/treatment-2.txt';
import t3 from '../../examples/treatment-3.txt';
import t4 from '../../examples/treatment-4.txt';
import t5 from '../../examples/treatment-5.txt';

export const EXAMPLES = [t1, t2, t3, t4, t5].map((text, i) => [`treatment-${i + 1}.txt`, text]);
